#include "server/catalogue/LookupQuery.h"

#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"
#include "server/catalogue/CatalogueError.h"

#include <span>

namespace orvane {

namespace {

// The caller's keys as a list: an array's elements, one value, or none.
std::span<const Variant> keyList(const Variant& keys)
{
    if (keys.isUnassignedOrNull())
        return {};
    if (!keys.isArray())
        return {&keys, 1};
    if (keys.dimensions() != 1)
        throw CatalogueError("Lookup keys must be a one-dimensional array, not a " + std::to_string(keys.dimensions()) +
                             "-dimensional one");
    return keys.array().elements();
}

std::string keyText(const LookupEntry& e, std::size_t index, const Variant& value)
{
    if (value.isArray() || value.isDispatch())
        throw CatalogueError("Key " + std::to_string(index + 1) + " (" + e.keys[index] + ") of lookup " + e.label() +
                             " is " + std::string(typeName(value.type())) + ", not a single value");
    return value.toString();
}

// Escapes the LIKE wildcards and the escape character itself.
std::string likeText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '%' || c == '_')
            out += '\\';
        out += c;
    }
    return out;
}

Variant bindValue(const LookupEntry& e, const KeyBind& bind, const Variant& value)
{
    if (bind.form == KeyForm::Text && value.isString())
        return value; // its own text
    const std::string text = keyText(e, bind.key, value);
    // Blanks around a search text (a code field's padding, a blank typed after the code) are not
    // part of it; with them the list found nothing.
    switch (bind.form) {
    case KeyForm::Text: return text;
    case KeyForm::Prefix: return likeText(orvane::text::trim(text)) + "%";
    case KeyForm::Contains: return "%" + likeText(orvane::text::trim(text)) + "%";
    case KeyForm::Number: break;
    }
    if (value.isNumeric())
        return value.toFloat();
    if (text.find_first_not_of(' ') == std::string::npos)
        return 0.0;
    if (const auto number = text::tryParseFloat(text))
        return *number;
    throw CatalogueError("Key " + std::to_string(bind.key + 1) + " (" + e.keys[bind.key] + ") of lookup " + e.label() +
                         " must be a number, not '" + text + "'");
}

// Null (from outer joins) reaches the client as empty text.
DbRow cleaned(DbRow row)
{
    for (auto& value : row)
        if (value.isNull())
            value = std::string();
    return row;
}

std::string builtSql(const SqlDialect& dialect, const std::string& companyDb, const LookupEntry& entry, bool paged)
{
    std::string text = "SELECT ";
    for (std::size_t i = 0; i < entry.columns.size(); ++i)
        text += (i ? ", " : "") + entry.columns[i].sql;
    text += " FROM " + dialect.companyTables(entry.from, companyDb);
    if (paged)
        text += " LIMIT ? OFFSET ?";
    return text;
}

} // namespace

const std::string& LookupQuery::sql(const SqlDialect& dialect, const std::string& companyDb, const LookupEntry& entry,
                                    bool paged)
{
    return entry.builtSql.text(dialect.name(), companyDb, paged,
                               [&] { return builtSql(dialect, companyDb, entry, paged); });
}

std::vector<Variant> LookupQuery::bindValues(const LookupEntry& entry, const Variant& keys)
{
    const std::span<const Variant> given = keyList(keys);
    if (given.size() < entry.requiredKeys || given.size() > entry.keys.size()) {
        const std::string expected =
            entry.requiredKeys == entry.keys.size()
                ? std::to_string(entry.keys.size())
                : std::to_string(entry.requiredKeys) + " to " + std::to_string(entry.keys.size());
        throw CatalogueError("Lookup " + entry.label() + " takes " + expected + " keys, not " +
                             std::to_string(given.size()));
    }
    static const Variant notGiven{std::string()}; // the keys after those given are empty text
    std::vector<Variant> values;
    values.reserve(entry.binds.size() + 2); // and room for the limit and offset of a page
    for (const auto& bind : entry.binds)
        values.push_back(bindValue(entry, bind, bind.key < given.size() ? given[bind.key] : notGiven));
    return values;
}

bool LookupQuery::found(const LookupEntry& entry, const DbRow& row)
{
    if (row.empty())
        return false;
    return entry.shape == LookupShape::Data || row[0].toIntegerOrZero() > 0;
}

DbRow LookupQuery::notFoundRow(const LookupEntry& entry)
{
    DbRow row(entry.columns.size(), Variant(std::string()));
    if (entry.shape == LookupShape::Counted)
        row[0] = 0;
    return row;
}

std::vector<Variant> LookupQuery::readValues(const LookupEntry& entry, const Variant& keys, std::size_t offset,
                                             std::size_t limit)
{
    std::vector<Variant> values = bindValues(entry, keys);
    if (limit > 0) {
        values.emplace_back(static_cast<long long>(limit));
        values.emplace_back(static_cast<long long>(offset));
    }
    return values;
}

ReusedRun LookupQuery::read(const LookupEntry& entry, const Variant& keys, std::size_t offset, std::size_t limit) const
{
    return {sql(db_.dialect(), companyDb_, entry, limit > 0), readValues(entry, keys, offset, limit)};
}

std::vector<DbRow> LookupQuery::rows(const LookupEntry& entry, const Variant& keys, std::size_t offset,
                                     std::size_t limit)
{
    QueryResult result =
        db_.query(sql(db_.dialect(), companyDb_, entry, limit > 0), readValues(entry, keys, offset, limit));
    std::vector<DbRow> out;
    out.reserve(result.rows.size());
    for (auto& row : result.rows)
        out.push_back(cleaned(std::move(row)));
    return out;
}

std::optional<DbRow> LookupQuery::firstRow(const LookupEntry& entry, const Variant& keys)
{
    return firstRowOf(entry, db_.query(sql(db_.dialect(), companyDb_, entry, true), readValues(entry, keys, 0, 1)));
}

std::optional<DbRow> LookupQuery::firstRowOf(const LookupEntry& entry, const QueryResult& result)
{
    if (result.rows.empty())
        return std::nullopt;
    DbRow row = cleaned(result.rows.front());
    if (!found(entry, row))
        return std::nullopt;
    return row;
}

} // namespace orvane
