#include "server/db/StatementCache.h"

#include "server/db/Database.h"

namespace orvane {

StatementCache::~StatementCache() = default;

Statement& StatementCache::statement(std::string_view sql, const Prepare& prepare)
{
    if (const auto found = bySql_.find(sql); found != bySql_.end()) {
        entries_.splice(entries_.begin(), entries_, found->second);
        return *found->second->statement;
    }
    std::unique_ptr<Statement> made = prepare(sql);
    entries_.push_front({std::string(sql), std::move(made)});
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
