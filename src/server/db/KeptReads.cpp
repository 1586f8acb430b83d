#include "server/db/KeptReads.h"

#include <algorithm>

namespace orvane {

std::vector<KeptReads::Read>::const_iterator KeptReads::findRead(std::string_view sql,
                                                                 const std::vector<Variant>& params) const
{
    return std::ranges::find_if(reads_, [&](const Read& read) { return read.sql == sql && read.params == params; });
}

const QueryResult* KeptReads::find(std::string_view sql, const std::vector<Variant>& params) const
{
    const auto kept = findRead(sql, params);
    return kept == reads_.end() ? nullptr : kept->answer.get();
}

SharedResult KeptReads::take(std::string_view sql, const std::vector<Variant>& params)
{
    const auto kept = findRead(sql, params);
    if (kept == reads_.end())
        return nullptr;
    SharedResult answer = kept->answer;
    reads_.erase(kept);
    return answer;
}

const QueryResult& KeptReads::keep(std::string_view sql, std::vector<Variant> params, SharedResult answer)
{
    return *reads_.emplace_back(Read{std::string(sql), std::move(params), std::move(answer)}).answer;
}

} // namespace orvane
