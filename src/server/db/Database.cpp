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

} // namespace orvane
