#include "server/query/QueryToken.h"

#include "platform/text/ByteText.h"

#include <array>

namespace orvane {

namespace {

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Characters of a bare number or numeric like pattern.
bool isNumberChar(char c)
{
    return isDigit(c) || c == '.' || c == '-' || c == '%' || c == '_';
}

bool isNumberText(std::string_view run)
{
    std::size_t i = run[0] == '-' ? 1 : 0;
    std::size_t digits = 0;
    bool dot = false;
    for (; i < run.size(); ++i) {
        if (isDigit(run[i]))
            ++digits;
        else if (run[i] == '.' && !dot)
            dot = true;
        else
            return false;
    }
    return digits > 0;
}

class Lexer {
public:
    Lexer(std::string_view text, QueryText which) : text_(text), which_(which) {}

    std::vector<Token> run()
    {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (isBlank(c))
                ++pos_;
            else
                next(c);
        }
        tokens_.push_back({TokenKind::End, "", text_.size() + 1});
        return std::move(tokens_);
    }

private:
    [[noreturn]] void refuse(std::size_t at, std::string_view reason) const
    {
        throw QueryError(which_, at + 1, reason);
    }

    void add(TokenKind kind, std::string text, std::size_t start)
    {
        tokens_.push_back({kind, std::move(text), start + 1});
    }

    char peek(std::size_t offset) const { return pos_ + offset < text_.size() ? text_[pos_ + offset] : '\0'; }

    bool startsNumber(char c) const
    {
        if (isDigit(c))
            return true;
        const bool afterName = pos_ > 0 && (isLetter(text_[pos_ - 1]) || isDigit(text_[pos_ - 1]));
        if (c == '.')
            return !afterName && isDigit(peek(1));
        return c == '-' && (isDigit(peek(1)) || (peek(1) == '.' && isDigit(peek(2))));
    }

    void next(char c)
    {
        if ((c == '-' && peek(1) == '-') || (c == '/' && peek(1) == '*'))
            refuse(pos_, "comments are not accepted");
        if (isLetter(c))
            return identifier();
        if (startsNumber(c))
            return number();
        if (c == '\'')
            return text();
        symbol(c);
    }

    void identifier()
    {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && (isLetter(text_[pos_]) || isDigit(text_[pos_])))
            ++pos_;
        add(TokenKind::Identifier, std::string(text_.substr(start, pos_ - start)), start);
    }

    void number()
    {
        const std::size_t start = pos_;
        ++pos_;
        while (pos_ < text_.size() && isNumberChar(text_[pos_])) {
            if (text_[pos_] == '-' && peek(1) == '-')
                refuse(pos_, "comments are not accepted");
            ++pos_;
        }
        const std::string_view run = text_.substr(start, pos_ - start);
        if (isNumberText(run))
            return add(TokenKind::Number, std::string(run), start);
        if (run.find_first_of("%_") != std::string_view::npos)
            return add(TokenKind::Pattern, std::string(run), start);
        refuse(start, "'" + std::string(run) + "' is not a number");
    }

    void text()
    {
        const std::size_t start = pos_;
        std::string value;
        ++pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '\0')
                refuse(pos_ - 1, "the text holds a NUL byte");
            if (c != '\'') {
                value += c;
                continue;
            }
            if (peek(0) != '\'')
                return add(TokenKind::Text, std::move(value), start);
            value += '\'';
            ++pos_;
        }
        refuse(start, "the text value starting here has no closing quote");
    }

    void symbol(char c)
    {
        struct Symbol {
            std::string_view text;
            TokenKind kind;
        };
        static constexpr std::array<Symbol, 12> symbols = {{{"<>", TokenKind::NotEqual},
                                                            {"!=", TokenKind::NotEqual},
                                                            {"<=", TokenKind::LessEqual},
                                                            {">=", TokenKind::GreaterEqual},
                                                            {"=", TokenKind::Equal},
                                                            {"<", TokenKind::Less},
                                                            {">", TokenKind::Greater},
                                                            {"(", TokenKind::LeftParen},
                                                            {")", TokenKind::RightParen},
                                                            {".", TokenKind::Dot},
                                                            {",", TokenKind::Comma},
                                                            {"*", TokenKind::Star}}};
        for (const auto& symbol : symbols) {
            if (text_.substr(pos_, symbol.text.size()) == symbol.text) {
                add(symbol.kind, std::string(symbol.text), pos_);
                pos_ += symbol.text.size();
                return;
            }
        }
        refuse(pos_, unexpected(c));
    }

    static std::string unexpected(char c)
    {
        switch (c) {
        case ';': return "';' is not accepted: a condition is never more than one statement";
        case '"':
        case '[':
        case '`': return "quoted names are not accepted; write column names plainly";
        case '\0': return "the text holds a NUL byte";
        default: break;
        }
        if (static_cast<unsigned char>(c) >= 0x80)
            return "characters other than ASCII are accepted only inside quoted text values";
        if (static_cast<unsigned char>(c) < 0x20)
            return "control character " + std::to_string(static_cast<int>(c)) + " is not accepted";
        return std::string("'") + c + "' is not accepted here";
    }

    std::string_view text_;
    QueryText which_;
    std::size_t pos_ = 0;
    std::vector<Token> tokens_;
};

constexpr std::array<std::string_view, 11> reserved = {"AND",    "OR",   "NOT",   "LIKE", "IS",  "NULL",
                                                       "SELECT", "FROM", "WHERE", "ASC",  "DESC"};

} // namespace

bool Token::is(std::string_view word) const
{
    return kind == TokenKind::Identifier && text::equalsIgnoringAsciiCase(text, word);
}

bool Token::isReserved() const
{
    for (const auto word : reserved) {
        if (is(word))
            return true;
    }
    return false;
}

std::string Token::shown() const
{
    switch (kind) {
    case TokenKind::End: return "the end of the text";
    case TokenKind::Text: return "the text value '" + text + "'";
    default: return "'" + text + "'";
    }
}

std::vector<Token> tokenizeQuery(std::string_view text, QueryText which, const QueryLimits& limits)
{
    if (text.size() > limits.maxTextBytes)
        throw QueryError(which, 0,
                         "the text is " + std::to_string(text.size()) + " bytes long; at most " +
                             std::to_string(limits.maxTextBytes) + " are accepted");
    return Lexer(text, which).run();
}

} // namespace orvane
