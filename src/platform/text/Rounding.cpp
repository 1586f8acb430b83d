#include "platform/text/Rounding.h"

#include "platform/text/DecimalDigits.h"
#include "platform/variant/NumberText.h"

#include <algorithm>

namespace orvane::text {
namespace {

int effectiveDecimals(int decimals)
{
    return decimals < 0 ? defaultDecimals : std::min(decimals, maxDecimals);
}

} // namespace

double roundTo(double value, int decimals)
{
    auto digits = DecimalDigits::fromDouble(value);
    if (!digits)
        return value;
    digits->roundToDecimals(effectiveDecimals(decimals));
    return digits->toDouble();
}

std::string fixedText(double value, int decimals)
{
    auto digits = DecimalDigits::fromDouble(value);
    if (!digits)
        return floatToText(value);
    decimals = effectiveDecimals(decimals);
    digits->roundToDecimals(decimals);
    std::string text;
    text.reserve(static_cast<std::size_t>(digits->integerDigits() + decimals + 3));
    digits->appendFixed(text, decimals);
    return text;
}

} // namespace orvane::text
