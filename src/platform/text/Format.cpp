#include "platform/text/Format.h"

#include "platform/text/ByteText.h"
#include "platform/text/Rounding.h"
#include "platform/variant/NumberText.h"

#include <algorithm>
#include <cstdint>

namespace orvane::text {
namespace {

// One "%..." conversion as written.
struct Conversion {
    std::string_view text; // "%-10.2f", for error texts
    bool leftAlign = false;
    int width = 0;
    int precision = -1; // -1: none
    char type = 0;
};

// Text of an argument for error messages: "Float 1.5", "String '1.5'", "Null".
std::string describe(const Variant& value)
{
    std::string text(typeName(value.type()));
    if (value.isString())
        text += " '" + value.asString() + "'";
    else if (value.isNumeric() || value.isBoolean())
        text += " " + value.toString();
    return text;
}

// Digits of a magnitude in base 10 or 16 (upper case), at least `minDigits` of them.
std::string digitsOf(std::uint64_t magnitude, unsigned base, int minDigits)
{
    char buffer[24];
    char* end = buffer + sizeof buffer;
    char* p = end;
    do {
        *--p = "0123456789ABCDEF"[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    std::string digits;
    const int count = static_cast<int>(end - p);
    if (minDigits > count)
        digits.append(static_cast<std::size_t>(minDigits - count), '0');
    digits.append(p, end);
    return digits;
}

class Formatter {
public:
    Formatter(std::string_view fmt, std::span<const Variant> args) : fmt_(fmt), args_(args) {}

    std::string run()
    {
        std::string out;
        out.reserve(fmt_.size() + 16 * args_.size());
        std::size_t i = 0;
        while (i < fmt_.size()) {
            const std::size_t percent = fmt_.find('%', i);
            out.append(fmt_.substr(i, percent == std::string_view::npos ? std::string_view::npos : percent - i));
            if (percent == std::string_view::npos)
                break;
            i = convertAt(percent, out);
        }
        return out;
    }

private:
    // Parses and applies the conversion starting at `start` ("%"); returns the position after it.
    std::size_t convertAt(std::size_t start, std::string& out)
    {
        Conversion conversion;
        std::size_t i = start + 1;
        if (i < fmt_.size() && fmt_[i] == '-') {
            conversion.leftAlign = true;
            ++i;
        }
        conversion.width = readNumber(i, start);
        if (i < fmt_.size() && fmt_[i] == '.') {
            ++i;
            conversion.precision = std::max(readNumber(i, start), -1); // a negative "*" means none
        }
        if (i >= fmt_.size())
            throw FormatError("format '" + std::string(fmt_) + "': incomplete conversion '" +
                              std::string(fmt_.substr(start)) + "' at the end");
        conversion.type = fmt_[i];
        conversion.text = fmt_.substr(start, i + 1 - start);
        if (conversion.width < 0) {
            conversion.leftAlign = true;
            conversion.width = -conversion.width;
        }
        apply(conversion, out);
        return i + 1;
    }

    // A width or precision: digits, or "*" taking the next argument; 0 when absent.
    int readNumber(std::size_t& i, std::size_t start)
    {
        if (i < fmt_.size() && fmt_[i] == '*') {
            ++i;
            const Conversion star{fmt_.substr(start, i - start)};
            return checkedWidth(integerArgument(star, nextArgument(star)), start);
        }
        if (i >= fmt_.size() || fmt_[i] < '0' || fmt_[i] > '9')
            return 0;
        std::int64_t value = 0;
        while (i < fmt_.size() && fmt_[i] >= '0' && fmt_[i] <= '9') {
            value = std::min<std::int64_t>(value * 10 + (fmt_[i] - '0'), maxFormatWidth + 1);
            ++i;
        }
        return checkedWidth(value, start);
    }

    int checkedWidth(std::int64_t value, std::size_t start) const
    {
        if (value > maxFormatWidth || value < -maxFormatWidth)
            throw FormatError("format '" + std::string(fmt_) + "': the width or precision at position " +
                              std::to_string(start + 1) + " exceeds " + std::to_string(maxFormatWidth));
        return static_cast<int>(value);
    }

    const Variant& nextArgument(const Conversion& conversion)
    {
        if (next_ >= args_.size())
            throw FormatError("format '" + std::string(fmt_) + "': no argument left for '" +
                              std::string(conversion.text) + "' (" + std::to_string(args_.size()) + " given)");
        return args_[next_++];
    }

    ConversionError argumentError(const Conversion& conversion, const Variant& value, std::string_view need) const
    {
        return ConversionError("format '" + std::string(fmt_) + "': argument " + std::to_string(next_) + " (" +
                               describe(value) + ") is not " + std::string(need) + " for '" +
                               std::string(conversion.text) + "'");
    }

    std::int64_t integerArgument(const Conversion& conversion, const Variant& value) const
    {
        if (value.isInteger())
            return value.asInteger();
        if (value.isString())
            if (const auto parsed = tryParseInteger(value.asString()))
                return *parsed;
        throw argumentError(conversion, value, "an integer");
    }

    double floatArgument(const Conversion& conversion, const Variant& value) const
    {
        try {
            return value.toFloat();
        } catch (const ConversionError&) {
            throw argumentError(conversion, value, "a number");
        }
    }

    std::string textArgument(const Conversion& conversion, const Variant& value) const
    {
        try {
            return value.toString();
        } catch (const ConversionError&) {
            throw argumentError(conversion, value, "a text");
        }
    }

    void apply(const Conversion& conversion, std::string& out)
    {
        switch (conversion.type) {
        case '%': pad(conversion, "%", out); return;
        case 'd':
        case 'D': {
            const std::int64_t value = integerArgument(conversion, nextArgument(conversion));
            const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
            pad(conversion, (value < 0 ? "-" : "") + digitsOf(magnitude, 10, conversion.precision), out);
            return;
        }
        case 'x':
        case 'X': {
            const std::int64_t value = integerArgument(conversion, nextArgument(conversion));
            pad(conversion, digitsOf(static_cast<std::uint64_t>(value), 16, conversion.precision), out);
            return;
        }
        case 'f':
        case 'F': {
            const double value = floatArgument(conversion, nextArgument(conversion));
            pad(conversion, fixedText(value, conversion.precision < 0 ? 2 : conversion.precision), out);
            return;
        }
        case 's':
        case 'S': {
            const std::string value = textArgument(conversion, nextArgument(conversion));
            pad(conversion, conversion.precision < 0 ? value : cutToBytes(value, conversion.precision), out);
            return;
        }
        default:
            throw FormatError("format '" + std::string(fmt_) + "': unknown conversion '" +
                              std::string(conversion.text) + "'");
        }
    }

    static void pad(const Conversion& conversion, std::string_view body, std::string& out)
    {
        const std::size_t width = static_cast<std::size_t>(conversion.width);
        const std::size_t fill = width > body.size() ? width - body.size() : 0;
        if (!conversion.leftAlign)
            out.append(fill, ' ');
        out.append(body);
        if (conversion.leftAlign)
            out.append(fill, ' ');
    }

    std::string_view fmt_;
    std::span<const Variant> args_;
    std::size_t next_ = 0; // index of the next argument to take
};

} // namespace

std::string format(std::string_view fmt, std::span<const Variant> args)
{
    return Formatter(fmt, args).run();
}

std::string format(std::string_view fmt, std::initializer_list<Variant> args)
{
    return format(fmt, std::span<const Variant>(args.begin(), args.size()));
}

} // namespace orvane::text
