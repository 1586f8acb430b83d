#include "server/services/SqlShape.h"

#include "platform/text/ByteText.h"
#include "server/services/ServiceError.h"

namespace orvane {

namespace {

bool wordStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool wordChar(char c)
{
    return wordStart(c) || (c >= '0' && c <= '9');
}

} // namespace

SqlShape::SqlShape(std::string_view pattern)
{
    auto parsed = tokens(pattern, true);
    if (!parsed)
        throw ServiceError("Unreadable statement shape: " + std::string(pattern));
    pattern_ = std::move(*parsed);
}

std::optional<std::vector<SqlShape::Token>> SqlShape::tokens(std::string_view text, bool pattern)
{
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (wordStart(c)) {
            const std::size_t start = i;
            while (i < text.size() && wordChar(text[i]))
                ++i;
            out.push_back({Token::Kind::Word, std::string(text.substr(start, i - start))});
        } else if (c == '\'') {
            std::string literal;
            for (++i;; ++i) {
                if (i >= text.size())
                    return std::nullopt; // unterminated literal
                if (text[i] == '\'') {
                    if (i + 1 < text.size() && text[i + 1] == '\'') {
                        literal += '\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += text[i];
            }
            out.push_back({Token::Kind::Literal, std::move(literal)});
        } else if (c == '=' || c == ',' || c == '.' || c == '(' || c == ')' || c == '*') {
            out.push_back({Token::Kind::Symbol, std::string(1, c)});
            ++i;
        } else if (pattern && (c == '$' || c == '@')) {
            out.push_back({c == '$' ? Token::Kind::LiteralSlot : Token::Kind::WordSlot, {}});
            ++i;
        } else {
            return std::nullopt; // ; - / " and anything else: never part of a known shape
        }
    }
    return out;
}

std::optional<ShapeMatch> SqlShape::match(std::string_view text) const
{
    const auto given = tokens(text, false);
    if (!given || given->size() != pattern_.size())
        return std::nullopt;
    ShapeMatch match;
    for (std::size_t i = 0; i < pattern_.size(); ++i) {
        const Token& want = pattern_[i];
        const Token& got = (*given)[i];
        switch (want.kind) {
        case Token::Kind::LiteralSlot:
            if (got.kind != Token::Kind::Literal)
                return std::nullopt;
            match.literals.push_back(got.text);
            break;
        case Token::Kind::WordSlot:
            if (got.kind != Token::Kind::Word)
                return std::nullopt;
            match.words.push_back(got.text);
            break;
        case Token::Kind::Word:
            if (got.kind != Token::Kind::Word || !text::equalsIgnoringAsciiCase(got.text, want.text))
                return std::nullopt;
            break;
        default:
            if (got.kind != want.kind || got.text != want.text)
                return std::nullopt;
        }
    }
    return match;
}

} // namespace orvane
