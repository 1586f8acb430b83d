#pragma once

#include <cstddef>
#include <string_view>

// Byte-string helpers for configuration names in code pages 936 and 950, where a byte from 0x81 up
// opens a two-byte character whose second byte may equal an ASCII "]", "\" or letter.
namespace orvane::text {

// Whether `byte` opens a two-byte character.
bool isDoubleByteLead(char byte);

// Position of the single-byte character `wanted`, skipping the second bytes of two-byte characters;
// npos when there is none.
std::size_t findOutsideDoubleByte(std::string_view text, char wanted);

// Whether two names are equal without regard to ASCII case; two-byte characters compare exactly.
bool sameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace orvane::text
