#pragma once
// The one entry point for the head provider: a client's (condition, order) request
// turned into a WHERE text with bound values and an ORDER BY text, or a QueryError
// that says what was refused. "All" (any case) and blank text mean no condition.
//
//   const auto query = bindClientQuery(scope, db.dialect(), condition, order);
//   std::string sql = "SELECT ... FROM " + dialect.companyTable(companyDb, "COPTC");
//   if (!query.where.empty()) sql += " WHERE " + query.where;
//   if (!query.orderBy.empty()) sql += " ORDER BY " + query.orderBy;
//   db.query(sql, query.params);
//
// Stateless; any thread may use it.

#include "platform/variant/Variant.h"
#include "server/db/SqlDialect.h"
#include "server/query/QueryLimits.h"
#include "server/query/QueryScope.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct ClientQuery {
    std::string where;           // condition with "?" markers, or "" for every row
    std::vector<Variant> params; // the values of where's markers, in order
    std::string orderBy;         // "COPTC.TC003 ASC, ..." or ""
};

ClientQuery bindClientQuery(const QueryScope& scope, const SqlDialect& dialect, std::string_view condition,
                            std::string_view order, const QueryLimits& limits = {});

} // namespace orvane
