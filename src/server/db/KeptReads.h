#pragma once
// Answers of reads kept for a little while by their statement and values: the reads the
// methods of one call share, or reads made ahead of the calls that will ask them. Only for data
// that may be read a moment early.
//
// Threads: as its owner (one call, or one session's object).

#include "server/db/QueryResult.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class KeptReads {
public:
    // The answer kept for the statement and its values, if any.
    const QueryResult* find(std::string_view sql, const std::vector<Variant>& params) const;
    // The same, no longer kept; null when none is.
    SharedResult take(std::string_view sql, const std::vector<Variant>& params);
    // Keeps an answer; the reference stays valid while the answer is kept.
    const QueryResult& keep(std::string_view sql, std::vector<Variant> params, SharedResult answer);
    bool empty() const { return reads_.empty(); }
    void clear()
    {
        reads_.clear();
        writeCount.reset();
    }

    // The company's count of writes to its reference tables as the call read it, once
    // (ReferenceReads); -1 when the company keeps none.
    std::optional<std::int64_t> writeCount;

private:
    struct Read {
        std::string sql;
        std::vector<Variant> params;
        SharedResult answer;
    };
    std::vector<Read>::const_iterator findRead(std::string_view sql, const std::vector<Variant>& params) const;

    std::vector<Read> reads_;
};

} // namespace orvane
