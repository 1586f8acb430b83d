#pragma once
// PostgreSQL: "$n" placeholders, row locks with FOR UPDATE, system tables in the
// "public" schema, one schema per company database.

#include "server/db/SqlDialect.h"

namespace orvane {

class PostgresDialect : public SqlDialect {
public:
    // The channel the write counting triggers notify at commit (countWritesSql).
    static constexpr std::string_view writesChannel = "orvane_kept_writes";

    std::string_view name() const override { return "PostgreSQL"; }
    int clientSqlType() const override { return 2; }
    std::string bindMarkers(std::string_view sql) const override;
    std::string_view beginTransaction() const override { return "BEGIN"; }
    std::string_view beginReadTransaction() const override { return ""; }
    std::string_view forUpdate() const override { return " FOR UPDATE"; }
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
