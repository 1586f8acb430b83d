#pragma once
// Byte-string helpers that respect double-byte characters: the lead bytes of code
// pages 936 and 950, cutting to a byte count, ASCII case mapping, trimming and
// splitting separated lists.
//
// A double-byte character is a lead byte (0x81..0xFE in both 936 and 950) and the
// byte after it, whatever that byte is; the text is always scanned from its start,
// because a trail byte (0x40..0xFE) can look like a lead byte or like ASCII ("\",
// "@", letters). In UTF-8 a character is its lead byte and the continuation bytes
// that follow. Pure functions, callable from any thread.

#include "platform/text/CodePage.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::text {

// An ASCII letter in upper or lower case; every other byte as it is.
constexpr char upperAscii(char c) noexcept
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char lowerAscii(char c) noexcept
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal without regard to ASCII case, byte by byte: for names and keywords, and for
// UTF-8, where no byte of a longer character is ASCII. Code-page text that may hold
// double-byte characters compares with equalsIgnoringCase, which leaves trail bytes
// alone.
constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i]))
            return false;
    return true;
}

// True when `byte` starts a double-byte character of the code page; always false
// for UTF-8.
bool isLeadByte(char byte, CodePage codePage) noexcept;

// Number of bytes of the character that starts at `position` (1 for ASCII and for
// a lead byte that ends the text); never reaches past the end of the text.
std::size_t characterLength(std::string_view text, std::size_t position, CodePage codePage) noexcept;

// The longest prefix of `text` of at most `maxBytes` bytes that does not end
// inside a character.
std::string cutToBytes(std::string_view text, std::size_t maxBytes, CodePage codePage = installationCodePage());

// ASCII letters changed to upper or lower case; bytes of double-byte characters
// (and any non-ASCII byte) are left as they are.
std::string upperCase(std::string_view text, CodePage codePage = installationCodePage());
std::string lowerCase(std::string_view text, CodePage codePage = installationCodePage());

// Position of the single-byte character `wanted`, skipping the bytes of
// double-byte characters; npos when there is none.
std::size_t findSingleByte(std::string_view text, char wanted, CodePage codePage = installationCodePage()) noexcept;

// Equal without regard to ASCII case; double-byte characters compare exactly.
bool equalsIgnoringCase(std::string_view a, std::string_view b, CodePage codePage = installationCodePage()) noexcept;

// Text without leading and/or trailing blanks and control characters (bytes up
// to 0x20). Trail bytes are never below 0x40, so no character is split.
std::string trim(std::string_view text);
std::string trimLeft(std::string_view text);
std::string trimRight(std::string_view text);

// What splitList makes of the pieces between separators.
enum class ListItems {
    AsWritten,       // every piece as it stands; an empty text is one empty piece
    Trimmed,         // pieces trimmed, empty ones kept in their place; a blank text has none
    TrimmedNonEmpty, // pieces trimmed, empty ones left out
};

// The pieces of a list such as "TC001,TC002" or "cdsMain:TC029;cdsBody1:TD012". The
// separator is an ASCII punctuation byte below 0x40, which is never a trail byte, so
// the text needs no character walk.
std::vector<std::string> splitList(std::string_view text, char separator, ListItems items);

} // namespace orvane::text
