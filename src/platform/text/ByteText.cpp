#include "platform/text/ByteText.h"

#include <algorithm>

namespace orvane::text {
namespace {

unsigned char byteAt(std::string_view text, std::size_t position)
{
    return static_cast<unsigned char>(text[position]);
}

// Length announced by a UTF-8 lead byte; 1 for ASCII and stray bytes.
std::size_t utf8Length(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

// Length of a UTF-8 character, counting only the continuation bytes present.
std::size_t utf8CharacterLength(std::string_view text, std::size_t position)
{
    const std::size_t announced = utf8Length(byteAt(text, position));
    std::size_t length = 1;
    while (length < announced && position + length < text.size() && (byteAt(text, position + length) & 0xC0) == 0x80)
        ++length;
    return length;
}

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

// Applies `change` to every ASCII byte that is not the trail byte of a double-byte character.
template <typename Change>
std::string mapAscii(std::string_view text, CodePage codePage, Change change)
{
    std::string result(text);
    for (std::size_t i = 0; i < result.size(); i += characterLength(result, i, codePage)) {
        const char c = result[i];
        if (static_cast<unsigned char>(c) < 0x80)
            result[i] = change(c);
    }
    return result;
}

} // namespace

std::size_t findSingleByte(std::string_view text, char wanted, CodePage codePage) noexcept
{
    for (std::size_t i = 0; i < text.size(); i += characterLength(text, i, codePage))
        if (text[i] == wanted)
            return i;
    return std::string_view::npos;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b, CodePage codePage) noexcept
{
    if (a.size() != b.size())
        return false;
    if (codePage == CodePage::Utf8)
        return equalsIgnoringAsciiCase(a, b);
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t length = characterLength(a, i, codePage);
        if (length == 1 ? upperAscii(a[i]) != upperAscii(b[i]) : a.substr(i, length) != b.substr(i, length))
            return false;
        i += length;
    }
    return true;
}

bool isLeadByte(char byte, CodePage codePage) noexcept
{
    const auto b = static_cast<unsigned char>(byte);
    return codePage != CodePage::Utf8 && b >= 0x81 && b <= 0xFE;
}

std::size_t characterLength(std::string_view text, std::size_t position, CodePage codePage) noexcept
{
    if (position >= text.size())
        return 0;
    if (codePage == CodePage::Utf8)
        return utf8CharacterLength(text, position);
    return isLeadByte(text[position], codePage) && position + 1 < text.size() ? 2 : 1;
}

std::string cutToBytes(std::string_view text, std::size_t maxBytes, CodePage codePage)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + characterLength(text, end, codePage);
        if (next > maxBytes)
            break;
        end = next;
    }
    return std::string(text.substr(0, end));
}

std::string upperCase(std::string_view text, CodePage codePage)
{
    return mapAscii(text, codePage, upperAscii);
}

std::string lowerCase(std::string_view text, CodePage codePage)
{
    return mapAscii(text, codePage, lowerAscii);
}

std::string trimLeft(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    return std::string(text.substr(start));
}

std::string trimRight(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    return std::string(text.substr(0, end));
}

std::string trim(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    std::size_t end = text.size();
    while (end > start && isBlank(text[end - 1]))
        --end;
    return std::string(text.substr(start, end - start));
}

std::vector<std::string> splitList(std::string_view text, char separator, ListItems items)
{
    std::vector<std::string> pieces;
    if (items == ListItems::Trimmed && trim(text).empty())
        return pieces;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        std::string piece(text.substr(start, end - start));
        if (items != ListItems::AsWritten)
            piece = trim(piece);
        if (items != ListItems::TrimmedNonEmpty || !piece.empty())
            pieces.push_back(std::move(piece));
        start = end + 1;
    }
    return pieces;
}

} // namespace orvane::text
