#include "platform/variant/NumberText.h"

#include "platform/variant/Variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace orvane::text {
namespace {

std::string_view trimBlanks(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// floatToText's text; where plain, in fixed notation whatever the exponent.
std::string writtenFloat(double value, bool plain)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";

    // Scientific text with 14 decimals holds exactly the 15 significant digits and the decimal
    // exponent after rounding: "d.dddddddddddddde+XX". The shortest text that reads back as the
    // value is that same text whenever it has at most 15 digits (the value then lies within half
    // a unit of its 15th digit, true of every normal number), and costs a fraction of the
    // rounding; only longer ones are rounded. Laid out on the stack: numbers are written into every field a check fills.
    char scientific[40];
    const double magnitude = std::fabs(value);
    const char* end =
        std::to_chars(scientific, scientific + sizeof scientific, magnitude, std::chars_format::scientific).ptr;
    const char* ePos = std::find(static_cast<const char*>(scientific), end, 'e');
    if (ePos - scientific > 16 || !std::isnormal(value)) { // more than 15 digits, or a subnormal's few bits
        end = std::to_chars(scientific, scientific + sizeof scientific, magnitude, std::chars_format::scientific, 14)
                  .ptr;
        ePos = std::find(static_cast<const char*>(scientific), end, 'e');
    }
    int exponent = 0;
    std::from_chars(ePos + (ePos[1] == '+' ? 2 : 1), end, exponent);

    char digits[16];
    std::size_t count = 0;
    for (const char* c = scientific; c != ePos; ++c)
        if (*c != '.')
            digits[count++] = *c;
    while (count > 1 && digits[count - 1] == '0')
        --count;

    char text[340]; // room for the plain form of the largest exponent, 308
    char* out = text;
    if (value < 0)
        *out++ = '-';
    const auto put = [&out](const char* from, std::size_t length) { out = std::copy(from, from + length, out); };
    if (!plain && (exponent < -5 || exponent > 14)) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            put(digits + 1, count - 1);
        }
        *out++ = 'E';
        out = std::to_chars(out, text + sizeof text, exponent).ptr;
    } else if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        put(digits, count);
    } else if (const auto integerDigits = static_cast<std::size_t>(exponent) + 1; count <= integerDigits) {
        put(digits, count);
        out = std::fill_n(out, integerDigits - count, '0');
    } else {
        put(digits, integerDigits);
        *out++ = '.';
        put(digits + integerDigits, count - integerDigits);
    }
    return std::string(text, out);
}

} // namespace

std::string floatToText(double value)
{
    return writtenFloat(value, false);
}

std::string floatToPlainText(double value)
{
    return writtenFloat(value, true);
}

std::optional<std::int64_t> tryParseInteger(std::string_view text)
{
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> tryParseFloat(std::string_view text)
{
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    // from_chars accepts "inf" and "nan"; number text never means them here.
    const char first = text.front() == '-' && text.size() > 1 ? text[1] : text.front();
    if (!(first >= '0' && first <= '9') && first != '.')
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::int64_t parseInteger(std::string_view text)
{
    if (const auto value = tryParseInteger(text))
        return *value;
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

double parseFloat(std::string_view text)
{
    if (const auto value = tryParseFloat(text))
        return *value;
    throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
}

std::int64_t parseIntegerOrZero(std::string_view text) noexcept
{
    return tryParseInteger(text).value_or(0);
}

} // namespace orvane::text
