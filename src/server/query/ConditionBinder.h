#pragma once
// Turns a parsed condition into SQL with "?" markers and the values to bind, checking
// every name against the query scope. Column and table names in the SQL are the
// schema's own spelling; client values only ever travel as bound parameters.
//
// Head columns are written as HEAD.COLUMN (COPTC.TC001), so the statement that uses
// the condition must name the head table by its own name (FROM "PRTest50".COPTC).
// The line count becomes EXISTS (SELECT 1 FROM <company>.LINES LINES WHERE links ...),
// which selects the same heads as the client's count(*) > 0 and stops at the first line.
//
// Stateless between calls; any thread may use its own binder.

#include "platform/variant/Variant.h"
#include "server/db/SqlDialect.h"
#include "server/query/ConditionAst.h"
#include "server/query/QueryLimits.h"
#include "server/query/QueryScope.h"

#include <string>
#include <vector>

namespace orvane {

struct BoundCondition {
    std::string sql;             // empty when there is no condition
    std::vector<Variant> params; // one per "?" of sql, in order
};

class ConditionBinder {
public:
    ConditionBinder(const QueryScope& scope, const SqlDialect& dialect, const QueryLimits& limits = {});

    // The SQL of condition (nullptr: no condition). Raises QueryError for unknown names,
    // other tables, values a column cannot hold and too many values.
    BoundCondition bind(const Condition* condition) const;

private:
    class Emitter;

    const QueryScope& scope_;
    const SqlDialect& dialect_;
    QueryLimits limits_;
};

} // namespace orvane
