#pragma once
// The tokens of the condition and order languages, and the lexer that cuts a client
// text into them. Anything that has no place in a query condition (statement
// separators, comments, quoted identifiers, characters outside text literals that are
// not ASCII) is refused here, before any parsing.

#include "server/query/QueryError.h"
#include "server/query/QueryLimits.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

enum class TokenKind {
    Identifier,   // a name or a keyword, as written
    Text,         // '...' with doubled quotes undone
    Number,       // 12, -3, 1.5, .5
    Pattern,      // an unquoted like pattern such as 100% (the query window writes numeric values bare)
    Equal,        // =
    NotEqual,     // <> or !=
    Less,         // <
    LessEqual,    // <=
    Greater,      // >
    GreaterEqual, // >=
    LeftParen,
    RightParen,
    Dot,
    Comma,
    Star,
    End
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;         // the identifier, the literal's value, or the symbol
    std::size_t position = 0; // byte offset in the client text, from 1

    // True for an identifier spelled like word, without regard to case.
    bool is(std::string_view word) const;
    // True for AND, OR, NOT, LIKE, IS, NULL, SELECT, FROM, WHERE, ASC, DESC.
    bool isReserved() const;
    // The token as a user would recognise it in an error text: 'TC001', ')' or "the end".
    std::string shown() const;
};

// Cuts text into tokens ending with one End token; raises QueryError on anything that
// is not part of the language or when the text is longer than the limit.
std::vector<Token> tokenizeQuery(std::string_view text, QueryText which, const QueryLimits& limits);

} // namespace orvane
