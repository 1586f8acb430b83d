#include "platform/variant/NumberText.h"

#include "platform/variant/Variant.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane::test {
namespace {

using namespace orvane::text;

TEST(NumberTextTest, FloatToTextFifteenSignificantDigitsGeneralFormat)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0"},
        {-1.5, "-1.5"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {1.5e20, "1.5E20"},
        {0.00001, "0.00001"},
        {0.000001, "1E-6"},
        {-1.25e-7, "-1.25E-7"},
        {9.9999999999999999, "10"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(floatToText(value), expected) << value;
    EXPECT_EQ(floatToText(NAN), "NAN");
    EXPECT_EQ(floatToText(-INFINITY), "-INF");
    // The plain form writes out what the general one puts in an exponent.
    EXPECT_EQ(floatToPlainText(1.5e20), "150000000000000000000");
    EXPECT_EQ(floatToPlainText(-1.25e-7), "-0.000000125");
    EXPECT_EQ(floatToPlainText(1e308).size(), 309u);
}

// Blanks around, a plain fraction and a text that is no number: VariantTest, through a text
// variant's conversions.
TEST(NumberTextTest, ParseNumbersStrictTextWithBlanksAllowedAround)
{
    EXPECT_EQ(tryParseInteger("+7"), 7);
    EXPECT_EQ(tryParseInteger("-0"), 0);
    EXPECT_FALSE(tryParseInteger(""));
    EXPECT_FALSE(tryParseInteger("1 2"));
    EXPECT_FALSE(tryParseInteger("1.0"));
    EXPECT_FALSE(tryParseInteger("99999999999999999999"));

    EXPECT_EQ(tryParseFloat(".5"), 0.5);
    EXPECT_EQ(tryParseFloat("-1e3"), -1000);
    EXPECT_FALSE(tryParseFloat("inf"));
    EXPECT_FALSE(tryParseFloat("nan"));
    EXPECT_FALSE(tryParseFloat("1,000"));
    EXPECT_FALSE(tryParseFloat("-"));
    EXPECT_EQ(parseIntegerOrZero("abc"), 0);
}

TEST(NumberTextTest, ParseNumbersValuesOfFifteenDigitsRoundTripThroughText)
{
    for (double v : {0.1, 2.675, -1234.5678, 1e-7, 123456.789012345, 9.99e20})
        EXPECT_EQ(parseFloat(floatToText(v)), v);
}

} // namespace
} // namespace orvane::test
