#include "server/query/QueryError.h"

namespace orvane {

namespace {

std::string describe(QueryText text, std::size_t position, std::string_view reason)
{
    std::string out = text == QueryText::Condition ? "Query condition refused" : "Query order refused";
    if (position > 0)
        out += " at position " + std::to_string(position);
    out += ": ";
    out += reason;
    return out;
}

} // namespace

QueryError::QueryError(QueryText text, std::size_t position, std::string_view reason)
    : std::runtime_error(describe(text, position, reason)), text_(text), position_(position)
{}

} // namespace orvane
