#include "server/query/ClientQuery.h"

#include "platform/text/ByteText.h"
#include "server/query/ConditionBinder.h"
#include "server/query/ConditionParser.h"
#include "server/query/OrderParser.h"
#include "server/query/QueryToken.h"

namespace orvane {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

ClientQuery bindClientQuery(const QueryScope& scope, const SqlDialect& dialect, std::string_view condition,
                            std::string_view order, const QueryLimits& limits)
{
    ClientQuery query;
    if (!text::equalsIgnoringAsciiCase(trimmed(condition), "All")) {
        const ConditionPtr parsed = parseCondition(condition, limits);
        BoundCondition bound = ConditionBinder(scope, dialect, limits).bind(parsed.get());
        query.where = std::move(bound.sql);
        query.params = std::move(bound.params);
    }
    query.orderBy = orderSql(parseOrder(order, limits), scope);
    return query;
}

} // namespace orvane
