#pragma once
// The one exception of the database layer. Its text names the statement (its first
// words) and carries the database's own message, so an operator can act on it.

#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

enum class DbErrorKind {
    General,    // any other failure: bad SQL, type mismatch, missing table ...
    Transient,  // busy, locked, serialization failure, deadlock: the whole transaction may be retried
    Constraint, // unique, foreign-key, not-null or check violation
    Connection  // the connection is lost or could not be made
};

class DbError : public std::runtime_error {
public:
    DbError(DbErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}

    DbErrorKind kind() const { return kind_; }
    bool transient() const { return kind_ == DbErrorKind::Transient; }

private:
    DbErrorKind kind_;
};

// The first words of a statement, for error texts ("INSERT INTO COPTC (TC001 ...").
std::string sqlHead(std::string_view sql);

} // namespace orvane
