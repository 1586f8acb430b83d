#include "platform/text/FormatFloat.h"

#include "platform/text/DecimalDigits.h"
#include "platform/variant/NumberText.h"

#include <algorithm>
#include <array>

namespace orvane::text {
namespace {

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

// Position after the quoted text that starts at `open` (the end when it is not closed).
std::size_t afterQuoted(std::string_view section, std::size_t open)
{
    const std::size_t close = section.find(section[open], open + 1);
    return close == std::string_view::npos ? section.size() : close + 1;
}

// The sections of a pattern, split at ";" outside quotes; at most three.
struct Sections {
    std::array<std::string_view, 3> text;
    int count = 0;

    explicit Sections(std::string_view pattern)
    {
        std::size_t start = 0;
        std::size_t i = 0;
        while (true) {
            if (i == pattern.size() || pattern[i] == ';') {
                text[count++] = pattern.substr(start, i - start);
                if (count == 3 || i == pattern.size())
                    return;
                start = ++i;
            } else if (isQuote(pattern[i])) {
                i = afterQuoted(pattern, i);
            } else {
                ++i;
            }
        }
    }

    // Index of the section that serves `wanted`: the section itself when it is
    // present and not empty, else the first one.
    int serving(int wanted) const { return wanted < count && !text[wanted].empty() ? wanted : 0; }
};

// What the placeholders of a section ask for.
struct Layout {
    int integerPlaceholders = 0;
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool thousands = false;

    explicit Layout(std::string_view section)
    {
        bool afterPoint = false;
        int firstZero = -1; // index of the first "0" among the integer placeholders
        for (std::size_t i = 0; i < section.size();) {
            const char c = section[i];
            if (isQuote(c)) {
                i = afterQuoted(section, i);
                continue;
            }
            if (c == '0' || c == '#') {
                if (afterPoint) {
                    ++maxDecimals;
                    if (c == '0')
                        minDecimals = maxDecimals;
                } else {
                    if (c == '0' && firstZero < 0)
                        firstZero = integerPlaceholders;
                    ++integerPlaceholders;
                }
            } else if (c == '.') {
                afterPoint = true;
            } else if (c == ',') {
                thousands = true;
            }
            ++i;
        }
        minIntegerDigits = firstZero < 0 ? 0 : integerPlaceholders - firstZero;
    }
};

// Writes a section with its placeholders filled from `digits` (already rounded).
class SectionWriter {
public:
    SectionWriter(const Layout& layout, const DecimalDigits& digits, std::string& out)
        : layout_(layout), digits_(digits), out_(out),
          integerLength_(std::max(digits.integerDigits(), layout.minIntegerDigits)),
          fractionLength_(std::clamp(digits.fractionDigits(), layout.minDecimals, layout.maxDecimals))
    {}

    void write(std::string_view section)
    {
        for (std::size_t i = 0; i < section.size();) {
            const char c = section[i];
            if (isQuote(c)) {
                const std::size_t end = afterQuoted(section, i);
                const std::size_t closing = end > i + 1 && section[end - 1] == c ? 1 : 0;
                out_.append(section.substr(i + 1, end - i - 1 - closing));
                i = end;
                continue;
            }
            if (c == '0' || c == '#')
                placeholder();
            else if (c == '.')
                point();
            else if (c != ',')
                out_ += c;
            ++i;
        }
    }

private:
    void placeholder()
    {
        if (afterPoint_) {
            if (decimalIndex_ < fractionLength_)
                out_ += digits_.digit(-1 - decimalIndex_);
            ++decimalIndex_;
            return;
        }
        const int exponent = layout_.integerPlaceholders - 1 - integerIndex_;
        // The first placeholder also shows the digits no placeholder has room for.
        const int from = integerIndex_ == 0 ? integerLength_ - 1 : exponent;
        for (int e = from; e >= exponent; --e)
            integerDigit(e);
        ++integerIndex_;
    }

    void point()
    {
        if (afterPoint_)
            return;
        if (layout_.integerPlaceholders == 0)
            for (int e = integerLength_ - 1; e >= 0; --e)
                integerDigit(e);
        afterPoint_ = true;
        if (fractionLength_ > 0)
            out_ += '.';
    }

    void integerDigit(int exponent)
    {
        if (exponent >= integerLength_)
            return;
        out_ += digits_.digit(exponent);
        if (layout_.thousands && exponent > 0 && exponent % 3 == 0)
            out_ += ',';
    }

    const Layout& layout_;
    const DecimalDigits& digits_;
    std::string& out_;
    const int integerLength_;  // integer digits to show, leading zeros included
    const int fractionLength_; // decimals to show
    bool afterPoint_ = false;
    int integerIndex_ = 0;
    int decimalIndex_ = 0;
};

} // namespace

std::string formatFloat(std::string_view pattern, double value)
{
    auto digits = DecimalDigits::fromDouble(value);
    if (!digits || pattern.empty())
        return floatToText(value);

    const Sections sections(pattern);
    const bool negative = digits->isNegative();
    int index = sections.serving(negative ? 1 : digits->isZero() ? 2 : 0);
    Layout layout(sections.text[index]);
    digits->roundToDecimals(layout.maxDecimals);
    if (digits->isZero() && index != sections.serving(2)) {
        index = sections.serving(2);
        layout = Layout(sections.text[index]);
    }
    const std::string_view section = sections.text[index];
    const bool minus = index == 0 && digits->isNegative();

    std::string out;
    out.reserve(section.size() + 24);
    if (minus)
        out += '-';
    SectionWriter(layout, *digits, out).write(section);
    return out;
}

} // namespace orvane::text
