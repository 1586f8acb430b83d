#pragma once
// The answer of one statement: column names, rows of variants and the number of
// rows a data-changing statement touched.

#include "platform/variant/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

using DbRow = std::vector<Variant>;

using ColumnNames = std::shared_ptr<const std::vector<std::string>>;

struct QueryResult {
    // As the database reports them (PostgreSQL folds unquoted names to lower case); the runs of a
    // kept statement share them. Null when there are none.
    ColumnNames columnNames;
    std::vector<DbRow> rows;   // Null for SQL NULL; Integer, Float or String otherwise
    std::int64_t affected = 0; // rows inserted, updated or deleted

    // The column names (none when columnNames is null).
    const std::vector<std::string>& columns() const;
    // Index of a column, compared without regard to case; -1 when there is none.
    int columnIndex(std::string_view name) const;
    // The value of a named column in a row; raises DbError for an unknown column or row.
    const Variant& value(std::size_t row, std::string_view column) const;
};

// An answer held by several keepers at once (a call's reads, the answers shared between calls),
// never copied among them.
using SharedResult = std::shared_ptr<const QueryResult>;

} // namespace orvane
