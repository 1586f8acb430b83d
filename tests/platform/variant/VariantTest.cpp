#include "platform/variant/Variant.h"

#include "platform/variant/Dispatch.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvane::test {
namespace {

// Unassigned, null, true, a fraction and an array as texts: FormatTest, through "%s"; floats
// in their shortest form: NumberTextTest.
TEST(VariantTest, ConversionToTextByTypeAndToNumbersAndBooleansFromNumericText)
{
    EXPECT_EQ(Variant(false).toString(), "False");
    EXPECT_EQ(Variant(-42).toString(), "-42");
    EXPECT_EQ(Variant("  17 ").toInteger(), 17);
    EXPECT_EQ(Variant("-3").toInteger(), -3);
    EXPECT_EQ(Variant("2.5").toInteger(), 3);
    EXPECT_EQ(Variant(-2.5).toInteger(), -3);
    EXPECT_EQ(Variant(true).toInteger(), -1);
    EXPECT_EQ(Variant().toInteger(), 0);
    EXPECT_TRUE(Variant("TRUE").toBoolean());
    EXPECT_FALSE(Variant("false").toBoolean());
    EXPECT_TRUE(Variant("-1").toBoolean());
    EXPECT_FALSE(Variant(0.0).toBoolean());
}

TEST(VariantTest, ConversionBadValuesRaiseWithTheValueInTheTextUnlessZeroIsAsked)
{
    EXPECT_EQ(errorOf<ConversionError>([] { (void)Variant("12a").toInteger(); }), "'12a' is not a valid integer value");
    EXPECT_EQ(errorOf<ConversionError>([] { (void)Variant("x1").toFloat(); }),
              "'x1' is not a valid floating point value");
    EXPECT_THROW((void)Variant::null().toInteger(), ConversionError);
    EXPECT_THROW((void)Variant::null().toFloat(), ConversionError);
    EXPECT_THROW((void)Variant(1e300).toInteger(), ConversionError);
    EXPECT_THROW((void)Variant("maybe").toBoolean(), ConversionError);
    // ... except where the caller asked for zero instead.
    EXPECT_EQ(Variant("50").toIntegerOrZero(), 50);
    EXPECT_EQ(Variant("abc").toIntegerOrZero(), 0);
    EXPECT_EQ(Variant::null().toIntegerOrZero(), 0);
    EXPECT_EQ(Variant::arrayOf({1}).toIntegerOrZero(), 0);
}

TEST(VariantTest, TestsEmptyMeansUnassignedNullEmptyTextOrNoElements)
{
    EXPECT_TRUE(Variant().isEmpty());
    EXPECT_TRUE(Variant::null().isEmpty());
    EXPECT_TRUE(Variant("").isEmpty());
    EXPECT_TRUE(Variant::arrayOf({}).isEmpty());
    EXPECT_FALSE(Variant(" ").isEmpty());
    EXPECT_FALSE(Variant(0).isEmpty());
}

TEST(VariantTest, ArraysBoundsPerDimension)
{
    Variant a = Variant::createArray({1, 2}, {-1, 3});
    EXPECT_EQ(a.dimensions(), 2);
    EXPECT_EQ(a.lowBound(1), 1);
    EXPECT_EQ(a.highBound(1), 2);
    EXPECT_EQ(a.lowBound(2), -1);
    EXPECT_EQ(a.highBound(2), 3);
    EXPECT_EQ(a.array().size(), 10u);
    a.at(2, 3) = "last";
    EXPECT_EQ(a.array().elements().back(), Variant("last"));
    EXPECT_THROW(a.highBound(3), VariantIndexError);
    EXPECT_THROW(a.at(0, 0), VariantIndexError);
    EXPECT_THROW(a[1], VariantIndexError);
}

TEST(VariantTest, ArraysOutOfRangeAndMalformedShapesRaise)
{
    Variant a = Variant::createArray(0, 3);
    EXPECT_THROW(a[4], VariantIndexError);
    EXPECT_THROW(a[-1], VariantIndexError);
    EXPECT_THROW(Variant::createArray(5, 2), VariantIndexError);
    EXPECT_THROW(Variant::createArray({0, 1 << 20}, {0, 1 << 20}), VariantIndexError);
    EXPECT_THROW(Variant(7)[0], ConversionError);
    EXPECT_EQ(Variant::createArray(3, 2).array().size(), 0u);
}

TEST(VariantTest, ArraysCopyIsDeepAndNestedArraysAreValues)
{
    Variant inner = Variant::arrayOf({1, 2});
    Variant outer = Variant::arrayOf({inner, "x"});
    Variant copy = outer;
    copy[0][1] = 99;
    EXPECT_EQ(outer[0][1], Variant(2));
    EXPECT_NE(outer, copy);
    copy[0][1] = 2;
    EXPECT_EQ(outer, copy);
}

TEST(VariantTest, ArraysRedimKeepsElementsInRange)
{
    Variant a = Variant::arrayOf({1, 2, 3});
    a.array().redim(4);
    EXPECT_EQ(a.highBound(), 4);
    EXPECT_EQ(a[2], Variant(3));
    EXPECT_TRUE(a[4].isUnassigned());
    a.array().redim(0);
    EXPECT_EQ(a.array().size(), 1u);

    Variant b = Variant::createArray({0, 1}, {0, 1});
    b.at(1, 1) = "kept";
    b.array().redim(2);
    EXPECT_EQ(b.at(1, 1), Variant("kept"));
    EXPECT_TRUE(b.at(1, 2).isUnassigned());
}

TEST(VariantTest, ArraysBuiltFromElementsWithBoundsThatMustFit)
{
    VariantArray grid({1, 2}, {0, 1}, {"a", "b", "c", "d"});
    EXPECT_EQ(grid.at(2, 0), Variant("c"));
    EXPECT_THROW(VariantArray(ArrayBounds{0, 2}, std::vector<Variant>{1, 2}), VariantIndexError);
    VariantArray list(ArrayBounds{5, 6}, std::vector<Variant>{7, 8});
    EXPECT_EQ(list.at(6), Variant(8));
    EXPECT_EQ(list.takeElements().size(), 2u);
    EXPECT_TRUE(list.empty());
    EXPECT_THROW(Variant(std::numeric_limits<std::size_t>::max()), ConversionError);
    EXPECT_EQ(Variant(std::size_t{3}), Variant(3));
}

TEST(VariantTest, EqualityTypeMatters)
{
    EXPECT_NE(Variant(1), Variant(1.0));
    EXPECT_NE(Variant("1"), Variant(1));
    EXPECT_EQ(Variant::null(), Variant::null());
    EXPECT_NE(Variant(), Variant::null());
    EXPECT_NE(Variant::createArray(0, 1), Variant::createArray(1, 2)) << "bounds matter";
}

} // namespace
} // namespace orvane::test
