#pragma once
// Recognises a client SQL text as one of a few known statement shapes. The text is cut
// into tokens (words, quoted literals, the punctuation = , . ( ) *); a shape is a token
// pattern where "$" stands for one quoted literal and "@" for one word (the company
// database). A text matches only when every token matches, so a second statement, a
// comment, another table or an added condition never does. Words compare without case;
// literals are returned decoded ('' becomes ') so they can be bound as parameters.
// Stateless; any thread.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct ShapeMatch {
    std::vector<std::string> literals; // the "$" slots in order
    std::vector<std::string> words;    // the "@" slots in order
};

class SqlShape {
public:
    // Parses the pattern once; raises ServiceError for a pattern it cannot read.
    explicit SqlShape(std::string_view pattern);

    // The slots when text has this shape; nullopt otherwise (also for text that cannot
    // be cut into tokens).
    std::optional<ShapeMatch> match(std::string_view text) const;

private:
    struct Token {
        enum class Kind { Word, Literal, Symbol, LiteralSlot, WordSlot } kind;
        std::string text;
    };
    static std::optional<std::vector<Token>> tokens(std::string_view text, bool pattern);

    std::vector<Token> pattern_;
};

} // namespace orvane
