#pragma once
// Walks a SQL text in segments, telling code apart from string literals, quoted
// identifiers and comments, so rewrites never touch what is inside quotes.

#include <functional>
#include <string_view>

namespace orvane {

// Calls visit for each consecutive segment; code is false for '...', "...", -- and /* */
// segments. An unterminated quote or comment runs to the end of the text.
void scanSql(std::string_view sql, const std::function<void(std::string_view segment, bool code)>& visit);

} // namespace orvane
