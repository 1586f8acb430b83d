#include "platform/variant/NumberText.h"

#include "platform/variant/Variant.h"

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

} // namespace

std::string floatToText(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";

    // Scientific text with 14 decimals holds exactly the 15 significant digits and
    // the decimal exponent after rounding: "-d.dddddddddddddde+XX".
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const bool negative = scientific.front() == '-';
    const auto ePos = scientific.find('e');
    int exponent = 0;
    std::from_chars(scientific.data() + ePos + (scientific[ePos + 1] == '+' ? 2 : 1),
                    scientific.data() + scientific.size(), exponent);

    std::string digits;
    for (char c : scientific.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0)))
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string text = negative ? "-" : "";
    if (exponent < -5 || exponent > 14) {
        text += digits.front();
        if (digits.size() > 1)
            text += "." + digits.substr(1);
        return text + "E" + std::to_string(exponent);
    }
    if (exponent < 0)
        return text + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits)
        return text + digits + std::string(integerDigits - digits.size(), '0');
    return text + digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
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
