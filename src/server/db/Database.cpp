#include "server/db/Database.h"

#include <vector>

namespace orvane {

QueryResult Database::query(std::string_view sql, std::span<const Variant> params)
{
    QueryResult result = cachedStatement(sql).run(params);
    noteWritesHeard();
    return result;
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

std::vector<QueryResult> Database::queryAll(std::span<const ReusedRun> reads)
{
    std::vector<QueryResult> results;
    results.reserve(reads.size());
    for (const ReusedRun& read : reads)
        results.push_back(query(read.sql, read.params));
    return results;
}

Statement& Database::cachedStatement(std::string_view sql)
{
    if (Statement* kept = statements_.find(sql))
        return *kept;
    return statements_.keep(sql, prepareCached(sql));
}

void Database::runThenFinish(std::span<const ReusedRun> runs, const std::string& finish)
{
    for (const ReusedRun& run : runs)
        execute(run.sql, run.params);
    executeScript(finish);
}

} // namespace orvane
