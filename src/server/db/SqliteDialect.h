#pragma once
// SQLite: "?" placeholders as they are, BEGIN IMMEDIATE so that writers queue on the
// busy timeout instead of failing on a lock upgrade, no row locks (a writing
// transaction locks the database), company databases attached by name.

#include "server/db/SqlDialect.h"

namespace orvane {

class SqliteDialect : public SqlDialect {
public:
    // The function every connection has that writes a number as numberText asks.
    static constexpr std::string_view numberTextFunction = "NUMBER_TEXT";

    std::string_view name() const override { return "SQLite"; }
    int clientSqlType() const override { return 1; }
    std::string bindMarkers(std::string_view sql) const override { return std::string(sql); }
    std::string_view beginTransaction() const override { return "BEGIN IMMEDIATE"; }
    std::string_view beginReadTransaction() const override { return "BEGIN"; }
    std::string_view forUpdate() const override { return ""; }
    std::string systemTable(std::string_view table) const override;
    std::string foreignKeyTarget(std::string_view companyDb, std::string_view table) const override;
    std::string columnType(SqlType type, int size) const override;
    std::string createIndex(std::string_view companyDb, std::string_view table, std::string_view indexName,
                            const std::vector<std::string>& columns, bool unique) const override;
    std::vector<std::string> countWritesSql(std::string_view companyDb, std::string_view table,
                                            std::string_view counterTable,
                                            std::string_view counterColumn) const override;
    std::vector<std::string> triggerSql(std::string_view companyDb, const TableTrigger& trigger) const override;
    std::string likeIgnoringCase(std::string_view operand, bool negated) const override;
    std::string numberText(std::string_view operand) const override;
};

} // namespace orvane
