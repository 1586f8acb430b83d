#include "server/db/SqliteDialect.h"

#include "server/db/SqlText.h"

namespace orvane {

std::string SqliteDialect::systemTable(std::string_view table) const
{
    checkIdentifier(table, "table");
    return "main." + std::string(table);
}

std::string SqliteDialect::foreignKeyTarget(std::string_view, std::string_view table) const
{
    // SQLite resolves a foreign-key parent in the child's own database and accepts no qualifier.
    checkIdentifier(table, "table");
    return std::string(table);
}

std::string SqliteDialect::columnType(SqlType type, int size) const
{
    switch (type) {
    case SqlType::Text: return "VARCHAR(" + std::to_string(size) + ")";
    case SqlType::Memo: return "TEXT";
    case SqlType::Float: return "REAL";
    case SqlType::Integer: return "INTEGER";
    }
    return "TEXT";
}

std::string SqliteDialect::createIndex(std::string_view companyDb, std::string_view table, std::string_view indexName,
                                       const std::vector<std::string>& columns, bool unique) const
{
    // SQLite puts the database on the index name and takes the table unqualified.
    checkIdentifier(indexName, "index");
    checkIdentifier(table, "table");
    std::string sql = unique ? "CREATE UNIQUE INDEX IF NOT EXISTS " : "CREATE INDEX IF NOT EXISTS ";
    sql += (companyDb.empty() ? std::string("main") : quoteIdentifier(companyDb)) + "." + std::string(indexName);
    sql += " ON " + std::string(table) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i)
        sql += (i ? ", " : "") + columns[i];
    return sql + ")";
}

std::vector<std::string> SqliteDialect::countWritesSql(std::string_view companyDb, std::string_view table,
                                                       std::string_view counterTable,
                                                       std::string_view counterColumn) const
{
    // Row triggers: SQLite has no others. A trigger lives in its table's database and names the
    // tables of that database unqualified.
    checkIdentifier(table, "table");
    checkIdentifier(counterTable, "table");
    checkIdentifier(counterColumn, "column");
    const std::string database = companyDb.empty() ? std::string("main") : quoteIdentifier(companyDb);
    const std::string raise = " BEGIN UPDATE " + std::string(counterTable) + " SET " + std::string(counterColumn) +
                              " = " + std::string(counterColumn) + " + 1; END";
    std::vector<std::string> out;
    for (const std::string_view event : {"INSERT", "UPDATE", "DELETE"})
        out.push_back("CREATE TRIGGER IF NOT EXISTS " + database + "." + std::string(table) + "_COUNT_" +
                      std::string(event) + " AFTER " + std::string(event) + " ON " + std::string(table) + raise);
    return out;
}

std::vector<std::string> SqliteDialect::triggerSql(std::string_view companyDb, const TableTrigger& trigger) const
{
    if (trigger.event == "TRUNCATE")
        return {}; // SQLite empties a table row by row, through its row triggers
    checkIdentifier(trigger.name, "trigger");
    checkIdentifier(trigger.table, "table");
    const std::string database = companyDb.empty() ? std::string("main") : quoteIdentifier(companyDb);
    std::string sql = "CREATE TRIGGER IF NOT EXISTS " + database + "." + trigger.name +
                      (trigger.before ? " BEFORE " : " AFTER ") + trigger.event + " ON " + trigger.table;
    if (!trigger.changed.empty())
        sql += " WHEN " + anyChanged(trigger.changed, " IS NOT ");
    sql += " BEGIN ";
    // The whole database is locked for the write: sharedRows need no lock of their own.
    for (const std::string& statement : trigger.statements)
        sql += withBracedNames(statement, [](std::string& out, std::string_view table) { out += table; }) + "; ";
    return {sql + "END"};
}

std::string SqliteDialect::likeIgnoringCase(std::string_view operand, bool negated) const
{
    // SQLite's own LIKE folds the ASCII letters and no others.
    return std::string(operand) + (negated ? " NOT LIKE ? ESCAPE '\\'" : " LIKE ? ESCAPE '\\'");
}

std::string SqliteDialect::numberText(std::string_view operand) const
{
    // A cast writes 100.0 for a REAL column's 100, and 1.0e+20 beside PostgreSQL's plain digits.
    return std::string(numberTextFunction) + "(" + std::string(operand) + ")";
}

} // namespace orvane
