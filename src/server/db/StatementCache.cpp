#include "server/db/StatementCache.h"

#include "server/db/Database.h"

namespace orvane {

StatementCache::~StatementCache() = default;

Statement* StatementCache::find(std::string_view sql)
{
    const auto found = bySql_.find(sql);
    if (found == bySql_.end())
        return nullptr;
    entries_.splice(entries_.begin(), entries_, found->second);
    return found->second->statement.get();
}

Statement& StatementCache::keep(std::string_view sql, std::unique_ptr<Statement> statement)
{
    entries_.push_front({std::string(sql), std::move(statement)});
    bySql_.emplace(entries_.front().sql, entries_.begin());
    if (entries_.size() > limit_) {
        bySql_.erase(entries_.back().sql);
        entries_.pop_back();
    }
    return *entries_.front().statement;
}

void StatementCache::clear()
{
    bySql_.clear();
    entries_.clear();
}

} // namespace orvane
