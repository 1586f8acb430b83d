#include "server/db/SqlText.h"

namespace orvane {

namespace {

// End (exclusive) of the quoted segment that starts at pos with quote; a doubled quote
// stays inside the segment.
std::size_t quotedEnd(std::string_view sql, std::size_t pos, char quote)
{
    std::size_t i = pos + 1;
    while (i < sql.size()) {
        if (sql[i] == quote) {
            if (i + 1 < sql.size() && sql[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

// End of the non-code segment starting at pos, or pos when code starts there.
std::size_t otherEnd(std::string_view sql, std::size_t pos)
{
    const char c = sql[pos];
    if (c == '\'' || c == '"')
        return quotedEnd(sql, pos, c);
    if (sql.substr(pos, 2) == "--") {
        const std::size_t nl = sql.find('\n', pos);
        return nl == std::string_view::npos ? sql.size() : nl + 1;
    }
    if (sql.substr(pos, 2) == "/*") {
        const std::size_t close = sql.find("*/", pos + 2);
        return close == std::string_view::npos ? sql.size() : close + 2;
    }
    return pos;
}

} // namespace

void scanSql(std::string_view sql, const std::function<void(std::string_view segment, bool code)>& visit)
{
    std::size_t codeStart = 0;
    std::size_t i = 0;
    while (i < sql.size()) {
        const std::size_t end = otherEnd(sql, i);
        if (end == i) {
            ++i;
            continue;
        }
        if (i > codeStart)
            visit(sql.substr(codeStart, i - codeStart), true);
        visit(sql.substr(i, end - i), false);
        i = codeStart = end;
    }
    if (sql.size() > codeStart)
        visit(sql.substr(codeStart), true);
}

std::string withBracedNames(std::string_view sql,
                            const std::function<void(std::string& out, std::string_view name)>& name)
{
    std::string text;
    text.reserve(sql.size() + 32);
    for (std::size_t at = 0; at < sql.size();) {
        const std::size_t open = sql.find('{', at);
        const std::size_t close = open == std::string_view::npos ? open : sql.find('}', open);
        if (close == std::string_view::npos) {
            text += sql.substr(at);
            break;
        }
        text += sql.substr(at, open - at);
        name(text, sql.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return text;
}

} // namespace orvane
