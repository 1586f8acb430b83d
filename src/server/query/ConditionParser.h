#pragma once
// Recursive-descent parser of the condition texts the client builds: key conditions,
// query-window condition lists joined by AND/OR over line breaks, "1=2", and the line
// count sub-query of the body filter. It checks only the form; names and values are
// checked by ConditionBinder.
//
//   condition  := [ or ]
//   or         := and { OR and }
//   and        := not { AND not }
//   not        := NOT not | primary
//   primary    := "(" or ")" | lineCount | number op number | column test
//   test       := op value | [NOT] LIKE value | IS [NOT] NULL
//   lineCount  := "(" SELECT COUNT "(" "*" ")" FROM [db ".."] table alias
//                 WHERE link { AND link } { AND not } ")" ">" 0
//   link       := "(" column "=" column ")"
//
// Stateless between calls; any thread may use it.

#include "server/query/ConditionAst.h"
#include "server/query/QueryLimits.h"

#include <string_view>

namespace orvane {

// The parsed condition, or nullptr when the text is empty or blank. Raises QueryError.
ConditionPtr parseCondition(std::string_view text, const QueryLimits& limits = {});

} // namespace orvane
