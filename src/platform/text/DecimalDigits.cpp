#include "platform/text/DecimalDigits.h"

#include "platform/variant/NumberText.h"

#include <charconv>
#include <cstdlib>

namespace orvane::text {

std::optional<DecimalDigits> DecimalDigits::fromDouble(double value)
{
    // The same 15-digit text the rest of the system shows: "-1.5E20", "0.00012", "NAN".
    const std::string text = floatToText(value);
    DecimalDigits result;
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        result.negative_ = true;
        ++i;
    }
    bool seenPoint = false;
    bool seenDigit = false;
    int point = 0; // places before the point, counted from the first significant digit
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (c >= '0' && c <= '9') {
            seenDigit = true;
            const bool leadingZero = result.count_ == 0 && c == '0';
            if (leadingZero) {
                if (seenPoint)
                    --point;
                continue;
            }
            if (!seenPoint)
                ++point;
            if (result.count_ == capacity)
                return std::nullopt;
            result.digits_[result.count_++] = c;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return std::nullopt;
    int exponent = 0;
    if (i < text.size()) {
        if (text[i] != 'E' && text[i] != 'e')
            return std::nullopt;
        const char* begin = text.data() + i + 1;
        if (begin < text.data() + text.size() && *begin == '+')
            ++begin;
        const auto [end, error] = std::from_chars(begin, text.data() + text.size(), exponent);
        if (error != std::errc{} || end != text.data() + text.size())
            return std::nullopt;
    }
    result.point_ = point + exponent;
    result.stripTrailingZeros();
    return result;
}

void DecimalDigits::stripTrailingZeros() noexcept
{
    while (count_ > 0 && digits_[count_ - 1] == '0')
        --count_;
    if (count_ == 0) {
        negative_ = false;
        point_ = 0;
    }
}

void DecimalDigits::roundToDecimals(int decimals) noexcept
{
    const int keep = point_ + decimals;
    if (keep >= count_)
        return;
    if (keep < 0) {
        count_ = 0;
        stripTrailingZeros();
        return;
    }
    const bool up = digits_[keep] >= '5';
    count_ = keep;
    if (up) {
        int i = count_ - 1;
        while (i >= 0 && digits_[i] == '9')
            digits_[i--] = '0';
        if (i >= 0) {
            ++digits_[i];
        } else {
            // All nines (or nothing kept): the value becomes the next power of ten.
            digits_[0] = '1';
            count_ = 1;
            ++point_;
        }
    }
    stripTrailingZeros();
}

double DecimalDigits::toDouble() const noexcept
{
    if (count_ == 0)
        return 0.0;
    // "-DDDDe-N": the significant digits as an integer, scaled by a power of ten.
    char buffer[capacity + 16];
    char* p = buffer;
    if (negative_)
        *p++ = '-';
    for (int i = 0; i < count_; ++i)
        *p++ = digits_[i];
    *p++ = 'e';
    p = std::to_chars(p, buffer + sizeof buffer, point_ - count_).ptr;
    double value = 0;
    std::from_chars(buffer, p, value);
    return value;
}

char DecimalDigits::digit(int exponent) const noexcept
{
    const int index = point_ - 1 - exponent;
    return index >= 0 && index < count_ ? digits_[index] : '0';
}

void DecimalDigits::appendFixed(std::string& out, int decimals) const
{
    if (isNegative())
        out += '-';
    const int integers = integerDigits();
    if (integers == 0)
        out += '0';
    for (int e = integers - 1; e >= 0; --e)
        out += digit(e);
    if (decimals <= 0)
        return;
    out += '.';
    for (int e = -1; e >= -decimals; --e)
        out += digit(e);
}

} // namespace orvane::text
