#pragma once
// New rows of one table, kept until write() sends them as multi-row INSERT statements of
// at most maxRows rows and maxValues values: the 20 lines of an order go in one statement,
// 70 in three (32, 32, 6). Each row count is a statement text of its own, prepared once per
// connection and reused, so a table needs at most maxRows texts.
//
// Threads: as its connection (one thread at a time).

#include "platform/variant/Variant.h"
#include "server/db/Database.h"

#include <cstddef>
#include <string>
#include <vector>

namespace orvane {

class InsertBatch {
public:
    static constexpr std::size_t maxRows = 32;
    static constexpr std::size_t maxValues = 4096;

    // table is the qualified table name; every row has a value per column, in this order.
    InsertBatch(std::string table, std::vector<std::string> columns);

    // Keeps a row; answers its index for value().
    std::size_t add(std::vector<Variant> row);
    // A value of a kept row, to fill in before the row is written.
    Variant& value(std::size_t row, std::size_t column);
    std::size_t size() const { return rows_.size(); }
    // Writes the kept rows in the order they were added and forgets them. On failure
    // the caller's transaction holds whatever was written.
    void write(Database& db);
    // The statements that write the kept rows, in order, for the caller to run; the rows are
    // forgotten.
    std::vector<ReusedRun> takeRuns();

    // The rows of each statement that writes rows rows of columns columns.
    static std::vector<std::size_t> statementRows(std::size_t rows, std::size_t columns);

private:
    std::string sql(std::size_t rows) const;

    std::string table_;
    std::vector<std::string> columns_;
    std::vector<std::vector<Variant>> rows_;
};

} // namespace orvane
