// The "SimpleSql" shape matcher: a text accepted for a shape must be that shape and nothing
// more. Checked without the matcher's own tokenizer: outside its literals the text holds no
// statement separator, comment or operator, its database words are plain names, and the
// statement rebuilt from the pattern and the slots matches with the same slots.

#include "server/services/SimpleSqlShapes.h"
#include "server/services/SqlShape.h"

#include <algorithm>
#include <cstdlib>

using namespace orvane;

namespace {

std::size_t count(std::string_view text, char c)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

std::string quoted(std::string_view literal)
{
    std::string out = "'";
    for (const char c : literal)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

std::string rebuilt(std::string_view pattern, const ShapeMatch& match)
{
    std::string out;
    std::size_t literal = 0, word = 0, start = 0;
    while (start <= pattern.size()) {
        const auto end = std::min(pattern.find(' ', start), pattern.size());
        const auto token = pattern.substr(start, end - start);
        out += token == "$" ? quoted(match.literals.at(literal++)) : token == "@" ? match.words.at(word++) : token;
        out += ' ';
        start = end + 1;
    }
    return out;
}

bool plainName(std::string_view word)
{
    return !word.empty() && std::all_of(word.begin(), word.end(), [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
    });
}

void check(std::string_view pattern, std::string_view text, const ShapeMatch& match)
{
    for (const char dangerous : {';', '-', '/', '#', '\\'}) {
        std::size_t inLiterals = 0;
        for (const auto& literal : match.literals)
            inLiterals += count(literal, dangerous);
        if (count(text, dangerous) != inLiterals)
            std::abort();
    }
    if (!std::all_of(match.words.begin(), match.words.end(), plainName))
        std::abort();
    const auto again = SqlShape(pattern).match(rebuilt(pattern, match));
    if (!again || again->literals != match.literals || again->words != match.words)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto pattern : simpleSqlShapes)
        if (const auto match = SqlShape(pattern).match(text))
            check(pattern, text, *match);
    return 0;
}
