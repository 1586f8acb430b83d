#pragma once
// printf-style formatting over variants, with the toolkit's Format conventions.
//
// A conversion is "%" ["-"] [width | "*"] ["." (precision | "*")] type, where a "*"
// takes its number from the next argument (a negative "*" width aligns left):
//   %s  any value's text (Variant::toString); a precision keeps at most that many
//       bytes without splitting a double-byte character
//   %d  an integer (an integer value, or text holding an integer); the precision is
//       the minimum number of digits, zero-padded after the sign ("%.4d" of -5 is "-0005")
//   %x  the same, in upper-case hexadecimal (64-bit two's complement for negatives)
//   %f  a number with `precision` decimals (2 when omitted), rounded as fixedText does
//   %%  a percent sign
// The width pads with blanks on the left, or on the right after "-". Arguments
// left over are ignored. Callable from any thread.

#include "platform/variant/Variant.h"

#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane::text {

// A format text that cannot be applied: too few arguments, an unknown conversion,
// a width or precision beyond maxFormatWidth. The message quotes the format.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Largest width or precision accepted, so a bad format cannot ask for a huge string.
inline constexpr int maxFormatWidth = 1024;

// The formatted text; raises FormatError for a bad format and ConversionError
// (naming the format, the conversion and the argument) for an argument of the
// wrong kind, such as a float or "1.5" for %d.
std::string format(std::string_view fmt, std::span<const Variant> args);
std::string format(std::string_view fmt, std::initializer_list<Variant> args);

} // namespace orvane::text
