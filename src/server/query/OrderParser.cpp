#include "server/query/OrderParser.h"

#include "server/query/QueryToken.h"

namespace orvane {

namespace {

[[noreturn]] void refuse(const Token& token, std::string_view reason)
{
    throw QueryError(QueryText::Order, token.position, reason);
}

bool isName(const Token& token)
{
    return token.kind == TokenKind::Identifier && !token.isReserved();
}

} // namespace

std::vector<OrderItem> parseOrder(std::string_view text, const QueryLimits& limits)
{
    const std::vector<Token> tokens = tokenizeQuery(text, QueryText::Order, limits);
    std::vector<OrderItem> items;
    std::size_t i = 0;
    while (tokens[i].kind != TokenKind::End) {
        if (!items.empty()) {
            if (tokens[i].kind != TokenKind::Comma)
                refuse(tokens[i], "expected ',' or the end after a sort column, found " + tokens[i].shown());
            ++i;
        }
        if (!isName(tokens[i]))
            refuse(tokens[i], "expected a column name, found " + tokens[i].shown());
        OrderItem item{{"", tokens[i].text, tokens[i].position}, false};
        ++i;
        if (tokens[i].kind == TokenKind::Dot) {
            if (!isName(tokens[i + 1]))
                refuse(tokens[i + 1],
                       "expected a column name after '" + item.column.name + ".', found " + tokens[i + 1].shown());
            item.column.qualifier = item.column.name;
            item.column.name = tokens[i + 1].text;
            i += 2;
        }
        if (tokens[i].is("ASC") || tokens[i].is("DESC")) {
            item.descending = tokens[i].is("DESC");
            ++i;
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::string orderSql(const std::vector<OrderItem>& items, const QueryScope& scope)
{
    std::string sql;
    for (const auto& item : items) {
        const ResolvedColumn column = scope.resolve(item.column, false, QueryText::Order);
        if (!sql.empty())
            sql += ", ";
        sql += column.table->name + "." + column.column->name + (item.descending ? " DESC" : " ASC");
    }
    return sql;
}

} // namespace orvane
