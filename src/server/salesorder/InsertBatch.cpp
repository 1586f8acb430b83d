#include "server/salesorder/InsertBatch.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace orvane {

InsertBatch::InsertBatch(std::string table, std::vector<std::string> columns)
    : table_(std::move(table)), columns_(std::move(columns))
{
    if (columns_.empty())
        throw std::logic_error("InsertBatch for " + table_ + " has no columns");
}

std::size_t InsertBatch::add(std::vector<Variant> row)
{
    if (row.size() != columns_.size())
        throw std::logic_error("InsertBatch for " + table_ + ": a row of " + std::to_string(row.size()) +
                               " values for " + std::to_string(columns_.size()) + " columns");
    rows_.push_back(std::move(row));
    return rows_.size() - 1;
}

Variant& InsertBatch::value(std::size_t row, std::size_t column)
{
    return rows_.at(row).at(column);
}

std::vector<std::size_t> InsertBatch::statementRows(std::size_t rows, std::size_t columns)
{
    const std::size_t largest = std::clamp<std::size_t>(maxValues / std::max<std::size_t>(columns, 1), 1, maxRows);
    std::vector<std::size_t> out;
    for (std::size_t left = rows; left > 0; left -= out.back())
        out.push_back(std::min(largest, left));
    return out;
}

std::string InsertBatch::sql(std::size_t rows) const
{
    std::string text = "INSERT INTO " + table_ + " (";
    for (std::size_t c = 0; c < columns_.size(); ++c)
        text += (c ? ", " : "") + columns_[c];
    text += ") VALUES ";
    std::string markers = "(";
    for (std::size_t c = 0; c < columns_.size(); ++c)
        markers += c ? ", ?" : "?";
    markers += ")";
    text.reserve(text.size() + rows * (markers.size() + 2));
    for (std::size_t r = 0; r < rows; ++r)
        text += (r ? ", " : "") + markers;
    return text;
}

void InsertBatch::write(Database& db)
{
    // Forgotten also when a statement fails: the caller rolls back what they belonged to.
    for (const ReusedRun& run : takeRuns())
        db.execute(run.sql, run.params);
}

std::vector<ReusedRun> InsertBatch::takeRuns()
{
    std::vector<std::vector<Variant>> kept = std::exchange(rows_, {});
    std::vector<ReusedRun> runs;
    std::size_t next = 0;
    for (const std::size_t rows : statementRows(kept.size(), columns_.size())) {
        ReusedRun& run = runs.emplace_back(ReusedRun{sql(rows), {}});
        run.params.reserve(rows * columns_.size());
        for (std::size_t r = next; r < next + rows; ++r)
            run.params.insert(run.params.end(), std::make_move_iterator(kept[r].begin()),
                              std::make_move_iterator(kept[r].end()));
        next += rows;
    }
    return runs;
}

} // namespace orvane
