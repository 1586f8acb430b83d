#pragma once
// Caps on what a client may send as a query, so that a hostile or broken client cannot
// make the server parse, recurse or bind without bound. The defaults are far above what
// the query window ever builds (a few dozen conditions).

#include <cstddef>

namespace orvane {

struct QueryLimits {
    std::size_t maxTextBytes = 64 * 1024; // length of a condition or order text
    int maxDepth = 32;                    // nested parentheses, NOT and the line sub-query together
    std::size_t maxParameters = 1000;     // bound values of one condition
};

} // namespace orvane
