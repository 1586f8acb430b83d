#include "platform/variant/NumberText.h"

#include "platform/variant/Variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
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

// Strips trailing zeros (and a trailing ".") from the fraction of a fixed or
// mantissa text.
void stripFractionZeros(std::string& digits)
{
    if (digits.find('.') == std::string::npos)
        return;
    while (digits.back() == '0')
        digits.pop_back();
    if (digits.back() == '.')
        digits.pop_back();
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

    // %.14e gives exactly 15 significant digits and the decimal exponent after rounding.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    std::string scientific(buffer);
    const auto ePos = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + ePos + 1);

    if (exponent >= -5 && exponent <= 14) {
        std::snprintf(buffer, sizeof buffer, "%.*f", 14 - exponent, value);
        std::string fixed(buffer);
        stripFractionZeros(fixed);
        return fixed;
    }
    std::string mantissa = scientific.substr(0, ePos);
    stripFractionZeros(mantissa);
    return mantissa + "E" + std::to_string(exponent);
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
