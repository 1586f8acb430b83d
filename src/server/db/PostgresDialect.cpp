#include "server/db/PostgresDialect.h"

#include "server/db/SqlText.h"

namespace orvane {

std::string PostgresDialect::bindMarkers(std::string_view sql) const
{
    std::string out;
    out.reserve(sql.size() + 8);
    int next = 1;
    scanSql(sql, [&](std::string_view segment, bool code) {
        if (!code) {
            out.append(segment);
            return;
        }
        for (char c : segment) {
            if (c == '?')
                out += "$" + std::to_string(next++);
            else
                out += c;
        }
    });
    return out;
}

std::string PostgresDialect::systemTable(std::string_view table) const
{
    checkIdentifier(table, "table");
    return "public." + std::string(table);
}

std::string PostgresDialect::foreignKeyTarget(std::string_view companyDb, std::string_view table) const
{
    // An unqualified name would follow the search path, not the child's schema.
    return this->table(companyDb, table);
}

std::string PostgresDialect::columnType(SqlType type, int size) const
{
    switch (type) {
    case SqlType::Text: return "VARCHAR(" + std::to_string(size) + ")";
    case SqlType::Memo: return "TEXT";
    case SqlType::Float: return "DOUBLE PRECISION";
    case SqlType::Integer: return "BIGINT";
    }
    return "TEXT";
}

std::string PostgresDialect::createIndex(std::string_view companyDb, std::string_view table, std::string_view indexName,
                                         const std::vector<std::string>& columns, bool unique) const
{
    // The index lives in its table's schema and takes an unqualified name.
    checkIdentifier(indexName, "index");
    std::string sql = unique ? "CREATE UNIQUE INDEX IF NOT EXISTS " : "CREATE INDEX IF NOT EXISTS ";
    sql += std::string(indexName) + " ON " + this->table(companyDb, table) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i)
        sql += (i ? ", " : "") + columns[i];
    return sql + ")";
}

std::vector<std::string> PostgresDialect::countWritesSql(std::string_view companyDb, std::string_view table,
                                                         std::string_view counterTable,
                                                         std::string_view counterColumn) const
{
    // One raise per statement, whatever rows it touched, and a notice to the listening
    // connections at commit; the function lives in the company's schema and is shared by its tables.
    checkIdentifier(counterColumn, "column");
    const std::string counter = this->table(companyDb, counterTable);
    const std::string function = this->table(companyDb, "COUNT_" + std::string(counterTable));
    const std::string column(counterColumn);
    return {"CREATE OR REPLACE FUNCTION " + function + "() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN UPDATE " +
                counter + " SET " + column + " = " + column + " + 1; PERFORM pg_notify('" + std::string(writesChannel) +
                "', ''); RETURN NULL; END$$",
            "CREATE OR REPLACE TRIGGER " + std::string(table) + "_COUNT_WRITES AFTER INSERT OR UPDATE OR DELETE OR " +
                "TRUNCATE ON " + this->table(companyDb, table) + " FOR EACH STATEMENT EXECUTE FUNCTION " + function +
                "()"};
}

std::vector<std::string> PostgresDialect::triggerSql(std::string_view companyDb, const TableTrigger& trigger) const
{
    checkIdentifier(trigger.name, "trigger");
    std::string body;
    for (const std::string& rows : trigger.sharedRows)
        body += "PERFORM 1 " + companyTables(rows, companyDb) + " FOR SHARE; ";
    for (const std::string& statement : trigger.statements)
        body += companyTables(statement, companyDb) + "; ";
    // A BEFORE trigger lets the write go on by answering its row.
    const std::string_view row = !trigger.before ? "NULL" : trigger.event == "DELETE" ? "OLD" : "NEW";
    const std::string function = this->table(companyDb, trigger.name);
    const bool truncate = trigger.event == "TRUNCATE";
    std::string create = "CREATE OR REPLACE TRIGGER " + trigger.name + (trigger.before ? " BEFORE " : " AFTER ") +
                         trigger.event + " ON " + this->table(companyDb, trigger.table) +
                         (truncate ? " FOR EACH STATEMENT" : " FOR EACH ROW");
    if (!trigger.changed.empty())
        create += " WHEN (" + anyChanged(trigger.changed, " IS DISTINCT FROM ") + ")";
    return {"CREATE OR REPLACE FUNCTION " + function + "() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN " + body +
                "RETURN " + std::string(row) + "; END$$",
            create + " EXECUTE FUNCTION " + function + "()"};
}

std::string PostgresDialect::likeIgnoringCase(std::string_view operand, bool negated) const
{
    // ILIKE folds letters by the database's locale, which may fold full-width and accented ones
    // too; in the C collation it folds the ASCII letters only, as SQLite's LIKE does.
    return "(" + std::string(operand) + ") COLLATE \"C\"" +
           (negated ? " NOT ILIKE ? ESCAPE '\\'" : " ILIKE ? ESCAPE '\\'");
}

std::string PostgresDialect::numberText(std::string_view operand) const
{
    // A double becomes a numeric of its 15 significant digits, which is written without exponent.
    return "CAST(CAST(" + std::string(operand) + " AS NUMERIC) AS TEXT)";
}

} // namespace orvane
