#include "server/db/SqlDialect.h"

#include "server/db/DbError.h"
#include "server/db/SqlText.h"

namespace orvane {

namespace {

bool isIdentifierChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string joined(const std::vector<std::string>& items, std::string_view separator)
{
    std::string out;
    for (const auto& item : items) {
        if (!out.empty())
            out += separator;
        out += item;
    }
    return out;
}

std::string markers(std::size_t count)
{
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        out += i == 0 ? "?" : ", ?";
    return out;
}

// Rewrites DB..TABLE inside one code segment.
void mapSegment(const SqlDialect& dialect, std::string_view code, std::string& out)
{
    std::size_t copied = 0;
    std::size_t pos = code.find("..");
    while (pos != std::string_view::npos) {
        std::size_t dbStart = pos;
        while (dbStart > copied && isIdentifierChar(code[dbStart - 1]))
            --dbStart;
        std::size_t tableEnd = pos + 2;
        while (tableEnd < code.size() && isIdentifierChar(code[tableEnd]))
            ++tableEnd;
        if (dbStart < pos && tableEnd > pos + 2 && (code[dbStart] < '0' || code[dbStart] > '9')) {
            out.append(code.substr(copied, dbStart - copied));
            out += dialect.companyTable(code.substr(dbStart, pos - dbStart), code.substr(pos + 2, tableEnd - pos - 2));
            copied = tableEnd;
        }
        pos = code.find("..", std::max(tableEnd, pos + 2));
    }
    out.append(code.substr(copied));
}

} // namespace

std::string SqlDialect::companyTable(std::string_view companyDb, std::string_view table) const
{
    std::string out;
    appendCompanyTable(out, companyDb, table);
    return out;
}

void SqlDialect::appendCompanyTable(std::string& out, std::string_view companyDb, std::string_view table) const
{
    checkIdentifier(companyDb, "company database");
    checkIdentifier(table, "table");
    // A plain identifier holds no quote to double.
    out += '"';
    out += companyDb;
    out += "\".";
    out += table;
}

std::string SqlDialect::table(std::string_view companyDb, std::string_view table) const
{
    return companyDb.empty() ? systemTable(table) : companyTable(companyDb, table);
}

std::string SqlDialect::mapCompanyPrefix(std::string_view sql) const
{
    std::string out;
    out.reserve(sql.size() + 16);
    scanSql(sql, [&](std::string_view segment, bool code) {
        if (code)
            mapSegment(*this, segment, out);
        else
            out.append(segment);
    });
    return out;
}

std::string SqlDialect::insertIfMissing(std::string_view qualifiedTable, const std::vector<std::string>& columns) const
{
    return "INSERT INTO " + std::string(qualifiedTable) + " (" + joined(columns, ", ") + ") VALUES (" +
           markers(columns.size()) + ") ON CONFLICT DO NOTHING";
}

std::string SqlDialect::quoteIdentifier(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

void SqlDialect::checkIdentifier(std::string_view name, std::string_view what)
{
    bool ok = !name.empty() && name.size() <= 63 && (name[0] < '0' || name[0] > '9');
    for (char c : name)
        ok = ok && isIdentifierChar(c);
    if (!ok)
        throw DbError(DbErrorKind::General, "Invalid " + std::string(what) + " name '" + std::string(name) +
                                                "': use letters, digits and '_' only (at most 63)");
}

std::string SqlDialect::companyTables(std::string_view sql, std::string_view companyDb) const
{
    return withBracedNames(
        sql, [&](std::string& out, std::string_view table) { appendCompanyTable(out, companyDb, table); });
}

std::string SqlDialect::anyChanged(const std::vector<std::string>& columns, std::string_view distinct)
{
    std::string condition;
    for (const std::string& column : columns) {
        checkIdentifier(column, "column");
        condition += (condition.empty() ? "OLD." : " OR OLD.") + column + std::string(distinct) + "NEW." + column;
    }
    return condition;
}

} // namespace orvane
