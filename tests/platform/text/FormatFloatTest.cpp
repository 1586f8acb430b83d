#include "platform/text/FormatFloat.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane::test {
namespace {

using namespace orvane::text;

struct PatternCase {
    const char* pattern;
    double value;
    const char* expected;
};

TEST(FormatFloatTest, DisplayEditAndSectionedFormats)
{
    const PatternCase cases[] = {
        {"#,##0.#######", 1234567.891, "1,234,567.891"},
        {"#,##0.#######", 0, "0"},
        {"#,##0.#######", -1234.5, "-1,234.5"},
        {"#,##0.#######", 1.0 / 3, "0.3333333"},
        {"#,##0.#######", 1.5e20, "150,000,000,000,000,000,000"},
        {"##0.#######", 1234567.891, "1234567.891"},
        {"##0.##", 2.675, "2.68"},
        {"#,##0.##", 999.999, "1,000"},
        {"0.00", -0.001, "0.00"}, // rounds to zero: no sign
        {"#,##0", 999.5, "1,000"},
        {"#,##0", -999.4, "-999"},
        {"000", 7, "007"},
        {"00-00", 1234, "12-34"},
        {".00", 0.5, ".50"},
        {".00", 12.5, "12.50"},
        {"#", 0, ""},
        {"#,##0.00 'RMB'", 1234.5, "1,234.50 RMB"},
        {"\"$\"#,##0.00", -5, "-$5.00"},
        {"0.0%", 5.25, "5.3%"},
        {"'a;b' 0", 3, "a;b 3"},
        // Sections: positive;negative;zero.
        {"#,##0.00;(#,##0.00)", 1234.5, "1,234.50"},
        {"#,##0.00;(#,##0.00)", -1234.5, "(1,234.50)"},
        {"#,##0.00;(#,##0.00)", 0, "0.00"},
        {"#,##0.00;(#,##0.00);'-'", -0.001, "-"},
        {"#,##0.00;(#,##0.00);'-'", 0.004, "-"},
        {"#,##0.00;;'zero'", -3, "-3.00"}, // empty negative section: the first one with a sign
        {"#,##0.00;;'zero'", 0, "zero"},
        {"0.00;0.00", -1, "1.00"},     // an explicit negative section carries no automatic sign
        {"0;(0);'z';ignored", 0, "z"}, // a fourth section is ignored
        // No pattern, values that are no number, an unclosed quote.
        {"", 1.5, "1.5"},
        {"0.00", NAN, "NAN"},
        {"0.00", -INFINITY, "-INF"},
        {"'unclosed", 1, "unclosed"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFloat(c.pattern, c.value), c.expected) << c.pattern << " of " << c.value;
}

} // namespace
} // namespace orvane::test
