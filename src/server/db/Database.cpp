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

QueryResult Database::queryReused(std::string_view sql, std::span<const Variant> params)
{
    const std::string text(sql);
    auto found = reusable_.find(text);
    if (found == reusable_.end()) {
        if (reusable_.size() >= reusableLimit)
            return query(sql, params);
        found = reusable_.emplace(text, prepareReusable(sql)).first;
    }
    return found->second->run(params);
}

std::int64_t Database::executeReused(std::string_view sql, std::span<const Variant> params)
{
    return queryReused(sql, params).affected;
}

} // namespace orvane
