#pragma once
// The one exception of the query layer: a condition or order text from a client that
// is refused. Its text says which text, what was wrong and where, so the user can
// correct the query; nothing of a refused text ever reaches the database.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

// Which client text an error is about, for the message.
enum class QueryText { Condition, Order };

class QueryError : public std::runtime_error {
public:
    // "Query condition refused at position 12: unknown column 'TC999' of table COPTC".
    // Position counts bytes from 1; 0 leaves it out.
    QueryError(QueryText text, std::size_t position, std::string_view reason);

    QueryText text() const { return text_; }
    std::size_t position() const { return position_; }

private:
    QueryText text_;
    std::size_t position_;
};

} // namespace orvane
