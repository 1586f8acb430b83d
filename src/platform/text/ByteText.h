#pragma once
// Byte-string helpers that respect double-byte characters: the lead bytes of code
// pages 936 and 950, cutting to a byte count, ASCII case mapping and trimming.
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

namespace orvane::text {

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

} // namespace orvane::text
