#pragma once
// Walks a SQL text in segments, telling code apart from string literals, quoted
// identifiers and comments, so rewrites never touch what is inside quotes.

#include <functional>
#include <string>
#include <string_view>

namespace orvane {

// Calls visit for each consecutive segment; code is false for '...', "...", -- and /* */
// segments. An unterminated quote or comment runs to the end of the text.
void scanSql(std::string_view sql, const std::function<void(std::string_view segment, bool code)>& visit);

// The text with each {NAME} replaced by what name appends to the text for NAME: statements written
// once name their tables {TABLE}, and each backend or database names them its way.
std::string withBracedNames(std::string_view sql,
                            const std::function<void(std::string& out, std::string_view name)>& name);

} // namespace orvane
