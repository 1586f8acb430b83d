#include "server/db/DbError.h"

namespace orvane {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

} // namespace

std::string sqlHead(std::string_view sql)
{
    // Up to five words or 60 bytes, blanks collapsed, so the statement is recognisable
    // without flooding the message.
    std::string out;
    int words = 0;
    std::size_t i = 0;
    for (; i < sql.size() && words < 5 && out.size() < 60; ++i) {
        if (isBlank(sql[i])) {
            if (!out.empty() && out.back() != ' ' && ++words < 5)
                out += ' ';
            continue;
        }
        out += sql[i];
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    while (i < sql.size() && isBlank(sql[i]))
        ++i;
    return i < sql.size() ? out + " ..." : out;
}

} // namespace orvane
