#include "platform/text/Rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvane::test {
namespace {

using namespace orvane::text;

struct RoundCase {
    double value;
    int decimals;
    double rounded;
    const char* text;
};

// Halfway cases round away from zero on the 15-digit decimal text, whatever the
// binary value underneath (2.675 is stored as 2.67499999...).
const RoundCase roundCases[] = {
    {2.675, 2, 2.68, "2.68"},
    {-2.675, 2, -2.68, "-2.68"},
    {2.5, 0, 3, "3"},
    {9.995, 2, 10, "10.00"},
    {-9.9999, 3, -10, "-10.000"},
    {0.1 + 0.2, 2, 0.3, "0.30"},
    {12, 3, 12, "12.000"},
    {0, 2, 0, "0.00"},
    {0.004, 2, 0, "0.00"},
    {-0.004, 2, 0, "0.00"}, // no "-0.00" for a zero result, nor a negative zero
    {-0.0, 2, 0, "0.00"},
    {-0.005, 2, -0.01, "-0.01"},
    {1e-7, 6, 0, "0.000000"},
    {5e-7, 6, 0.000001, "0.000001"},
    {1.5e20, 2, 1.5e20, "150000000000000000000.00"},
    {123456789.123456789, 4, 123456789.1235, "123456789.1235"},
    {1.0 / 3, 10, 0.3333333333, "0.3333333333"},
    {2.0 / 3, -1, 0.666667, "0.666667"}, // a negative count means 6 decimals
};

TEST(RoundingTest, RoundToHalfwayAwayFromZeroOnTheDecimalTextAndZeroWithoutSign)
{
    for (const auto& c : roundCases) {
        EXPECT_EQ(roundTo(c.value, c.decimals), c.rounded) << c.value << " to " << c.decimals;
        EXPECT_EQ(fixedText(c.value, c.decimals), c.text) << c.value << " to " << c.decimals;
        EXPECT_FALSE(c.rounded == 0 && std::signbit(roundTo(c.value, c.decimals))) << c.value << " to " << c.decimals;
    }
}

TEST(RoundingTest, RoundToManyDecimalsKeepTheFifteenDigitValue)
{
    EXPECT_EQ(roundTo(0.1 + 0.2, 20), 0.3);
    EXPECT_EQ(roundTo(1e300, 2), 1e300);
    EXPECT_EQ(fixedText(0.25, 1000).size(), 2 + std::size_t(maxDecimals));
    EXPECT_EQ(roundTo(std::numeric_limits<double>::denorm_min(), 400), std::numeric_limits<double>::denorm_min());
}

TEST(RoundingTest, RoundToSpecialValuesPassThrough)
{
    EXPECT_TRUE(std::isnan(roundTo(NAN, 2)));
    EXPECT_EQ(roundTo(INFINITY, 2), INFINITY);
    EXPECT_EQ(fixedText(NAN, 2), "NAN");
    EXPECT_EQ(fixedText(-INFINITY, 2), "-INF");
}

} // namespace
} // namespace orvane::test
