#pragma once
// Numbers to text and back, with the toolkit's conventions: floats written with 15
// significant digits in general format, text read strictly with ConversionError for
// anything that is not a number.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::text {

// 15 significant digits, general format: fixed notation while the decimal
// exponent is between -5 and 14, otherwise "1.5E20" / "1E-7"; no trailing zeros;
// "0" for zero; "NAN", "INF", "-INF" for the special values.
std::string floatToText(double value);
// The same digits in fixed notation whatever the exponent ("100000000000000000000",
// "0.0000001"): the form in which every database backend writes a number as text.
std::string floatToPlainText(double value);

// Integer text: optional surrounding blanks, optional sign, decimal digits.
std::optional<std::int64_t> tryParseInteger(std::string_view text);
// Number text: optional surrounding blanks, sign, digits with an optional "."
// and decimals, optional exponent. No thousands separators.
std::optional<double> tryParseFloat(std::string_view text);

// As above, raising ConversionError ("'abc' is not a valid integer value" /
// "'abc' is not a valid floating point value") for bad text.
std::int64_t parseInteger(std::string_view text);
double parseFloat(std::string_view text);

// The integer value of text, or 0 when it is not an integer.
std::int64_t parseIntegerOrZero(std::string_view text) noexcept;

} // namespace orvane::text
