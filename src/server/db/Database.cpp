#include "server/db/Database.h"

#include <vector>

namespace orvane {

QueryResult Database::query(std::string_view sql, std::span<const Variant> params)
{
    return prepare(sql)->run(params);
}

QueryResult Database::query(std::string_view sql, std::initializer_list<Variant> params)
{
    const std::vector<Variant> values(params);
    return query(sql, std::span<const Variant>(values));
}

std::int64_t Database::execute(std::string_view sql, std::span<const Variant> params)
{
    return query(sql, params).affected;
}

std::int64_t Database::execute(std::string_view sql, std::initializer_list<Variant> params)
{
    return query(sql, params).affected;
}

Statement* Database::reusedStatement(std::string_view sql)
{
    const std::string text(sql);
    auto found = reusable_.find(text);
    if (found == reusable_.end()) {
        if (reusable_.size() >= reusableLimit)
            return nullptr;
        found = reusable_.emplace(text, prepareReusable(sql)).first;
    }
    return found->second.get();
}

QueryResult Database::queryReused(std::string_view sql, std::span<const Variant> params)
{
    Statement* kept = reusedStatement(sql);
    return kept ? kept->run(params) : query(sql, params);
}

void Database::runThenFinish(std::span<const ReusedRun> runs, const std::string& finish)
{
    for (const ReusedRun& run : runs)
        executeReused(run.sql, run.params);
    executeScript(finish);
}

std::int64_t Database::executeReused(std::string_view sql, std::span<const Variant> params)
{
    return queryReused(sql, params).affected;
}

} // namespace orvane
