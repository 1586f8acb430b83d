#include "server/db/SqliteDialect.h"

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

} // namespace orvane
