#pragma once
// The order text the client sends with a condition: column names separated by ",",
// each with an optional ASC or DESC in any case ("TC003 asc,TC001 desc"). Columns are
// checked against the head table and written in the schema's spelling.
//
// Stateless; any thread may use it.

#include "server/query/ConditionAst.h"
#include "server/query/QueryLimits.h"
#include "server/query/QueryScope.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct OrderItem {
    ColumnName column;
    bool descending = false;
};

// The items of an order text; none for empty or blank text. Raises QueryError.
std::vector<OrderItem> parseOrder(std::string_view text, const QueryLimits& limits = {});

// "COPTC.TC003 ASC, COPTC.TC001 DESC", or "" for no items. Raises QueryError for a
// column the head table lacks.
std::string orderSql(const std::vector<OrderItem>& items, const QueryScope& scope);

} // namespace orvane
