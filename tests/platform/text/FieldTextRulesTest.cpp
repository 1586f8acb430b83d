// The pure text rules of the field formats: masks, and typed text to storage and back for
// every kind under the five date styles and separators of several characters or none.

#include "platform/text/FieldTextRules.h"

#include "platform/variant/Variant.h"
#include "support/LocalText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace orvane::test {
namespace {

struct MaskCase {
    int style;
    std::string separator;
    std::string date, yearMonth;
};

TEST(FieldTextRulesTest, MasksFollowTheStyleAndEscapeSeparatorsThatWouldReadAsMaskCharactersAndBlankTextIsBlank)
{
    const MaskCase cases[] = {
        {1, "/", "9999/99/99;1; ", "9999/99;1; "},
        {2, "/", "99/99/9999;1; ", "99/9999;1; "},
        {3, "-", "99-99-9999;1; ", "99-9999;1; "},
        {4, "/", "999/99/99;1; ", "999/99;1; "}, // era years reached three digits in 2011
        {5, ".", "999.99.99;1; ", "999.99;1; "},
        {1, "", "99999999;1; ", "999999;1; "},
        {1, "--", "9999--99--99;1; ", "9999--99;1; "},
        {1, "a", "9999\\a99\\a99;1; ", "9999\\a99;1; "},
        {1, gbk("年"), "9999" + gbk("年") + "99" + gbk("年") + "99;1; ", "9999" + gbk("年") + "99;1; "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("style " + std::to_string(c.style) + " separator '" + c.separator + "'");
        EXPECT_EQ(text::dateEditMask(c.style, c.separator), c.date);
        EXPECT_EQ(text::yearMonthEditMask(c.style, c.separator), c.yearMonth);
    }
    EXPECT_EQ(text::monthDayEditMask("/"), "99/99;1; ");
    EXPECT_EQ(text::yearEditMask(1), "9999;1; ");
    EXPECT_EQ(text::yearEditMask(5), "999;1; ");
    // Blank mask text is only blanks and separators.
    EXPECT_TRUE(text::isBlankMaskText("  /  ", "/"));
    EXPECT_TRUE(text::isBlankMaskText("  --  ", "--"));
    EXPECT_TRUE(text::isBlankMaskText("", ""));
    EXPECT_FALSE(text::isBlankMaskText(" 1/  ", "/"));
    EXPECT_FALSE(text::isBlankMaskText("  -  ", "--"));
    EXPECT_EQ(text::zeroPadded(-5, 4), "-0005");
    EXPECT_EQ(text::zeroPadded(12345, 2), "12345");
}

struct DateCase {
    int style;
    std::string separator;
    std::string typed;
    std::string stored;
};

TEST(FieldTextRulesTest, TypedDatesBecomeStorageTextByStyleWithoutCalendarCheck)
{
    const DateCase cases[] = {
        {1, "/", " 2024 / 5 / 6 ", "20240506"},
        {1, "/", "2024/13/01", "20241301"},
        {2, "/", "05/06/2024", "20240506"},
        {3, "/", "06/05/2024", "20240506"},
        {4, "/", "113/05/06", "20240506"},
        {4, "/", "19/1/1", "19300101"},
        {5, "/", "019/01/01", "19300101"},
        {9, "/", "2024/5/6", "20240506"},
        {1, "--", "2024--5--6", "20240506"},
        {1, gbk("年"), "2024" + gbk("年") + "5" + gbk("年") + "6", "20240506"},
        {1, "", "20240506", "20240506"},
        {2, "", "05062024", "20240506"},
        {4, "", "1130506", "20240506"},
        {4, "", "190101", "19300101"},
        {1, "/", "", ""},
        {1, "/", "    /  /  ", "0"},
        {1, "/", "2024/5", "0"},
        {1, "/", "abc/5/6", "0"},
        {1, "/", "2024/0/6", "0"},
        {1, "/", "2024/5/6/7", "0"},
        {1, "/", "2024/123/1", "202412301"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("style " + std::to_string(c.style) + " '" + c.typed + "'");
        EXPECT_EQ(text::dateStorageText(c.typed, c.style, c.separator), c.stored);
    }
}

TEST(FieldTextRulesTest, StoredDatesShowByStyleWithTheSeparatorsFirstCharacter)
{
    const DateCase cases[] = {
        {1, "/", "2024/05/06", "20240506"}, {2, "/", "05/06/2024", "20240506"},
        {3, "/", "06/05/2024", "20240506"}, {4, "/", "113/05/06", "20240506"},
        {5, "/", "113/05/06", "20240506"},  {4, "/", "19/01/01", "19300101"},
        {5, "/", "019/01/01", "19300101"},  {1, "--", "2024-05-06", "20240506"},
        {1, "", "20240506", "20240506"},    {1, gbk("年月"), "2024" + gbk("年") + "05" + gbk("年") + "06", "20240506"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("style " + std::to_string(c.style) + " " + c.stored);
        const auto parts = text::storedDateParts(c.stored);
        ASSERT_TRUE(parts);
        EXPECT_EQ(text::dateDisplayText(*parts, c.style, c.separator), c.typed);
    }
    for (const char* none : {"", "00000000", "2024050", "20240006", "abcdefgh", "202405060"})
        EXPECT_FALSE(text::storedDateParts(none)) << none;
}

TEST(FieldTextRulesTest, NativeDatesRollOverButStoredDatesMustBeRealDays)
{
    EXPECT_EQ(text::typedDateValue("2023/12/32", 1, "/"), text::encodeDate(2024, 1, 1));
    EXPECT_EQ(text::typedDateValue("113/02/29", 4, "/"), text::encodeDate(2024, 2, 29));
    EXPECT_EQ(text::typedDateValue("29/02/2024", 3, "/"), text::encodeDate(2024, 2, 29));
    for (const char* none : {"", "2024/13/01", "2024/0/1", "2024/1/0", "abc/1/1", "2024/1", "9999/12/32", "10000/1/1"})
        EXPECT_FALSE(text::typedDateValue(none, 1, "/")) << none;
    EXPECT_TRUE(text::isValidStoredDate("20240229"));
    for (const char* bad : {"20230229", "20241301", "202412301", "2024-1-1", ""})
        EXPECT_FALSE(text::isValidStoredDate(bad)) << bad;
}

TEST(FieldTextRulesTest, YearMonthPeriodsByStyle)
{
    const DateCase typed[] = {
        {1, "/", "2024/5", "202405"}, {2, "/", "5/2024", "202405"}, {3, "/", "05/2024", "202405"},
        {4, "/", "113/5", "202405"},  {5, "/", "019/12", "193012"}, {1, "", "202405", "202405"},
        {2, "", "052024", "202405"},  {4, "", "11305", "202405"},   {1, "/", "    /  ", ""},
        {1, "/", "2024", ""},         {0, "/", "2024/5", ""},       {6, "/", "2024/5", ""},
    };
    for (const auto& c : typed)
        EXPECT_EQ(text::yearMonthStorageText(c.typed, c.style, c.separator), c.stored) << c.style << " " << c.typed;

    const DateCase shown[] = {
        {2, "-", "05-2024", "202405"}, {4, "/", "113/05", "202405"}, {4, "/", "19/01", "193001"},
        {5, "/", "019/01", "193001"},  {1, "/", "", "2024"},         {1, "/", "", "      "},
    };
    for (const auto& c : shown)
        EXPECT_EQ(text::yearMonthDisplayText(c.stored, c.style, c.separator), c.typed) << c.style << " " << c.stored;

    EXPECT_TRUE(text::isValidYearMonth("202412"));
    for (const char* bad : {"202413", "202400", "2024", "2024ab"})
        EXPECT_FALSE(text::isValidYearMonth(bad)) << bad;
}

TEST(FieldTextRulesTest, MonthDaysTakeTheDayFirstUnderStyleThreeAndDaysKeepTwoDigits)
{
    EXPECT_EQ(text::monthDayStorageText("6/5", 3, "/"), "0506");
    EXPECT_EQ(text::monthDayStorageText("0506", 1, ""), "0506");
    EXPECT_EQ(text::monthDayStorageText("", 1, "/"), std::nullopt);
    EXPECT_EQ(text::monthDayDisplayText("0506", 3, "--"), "06--05");
    EXPECT_EQ(text::dayMonthStorageText(" 5 "), "05");
    EXPECT_THROW(text::dayMonthStorageText("x"), ConversionError);
    EXPECT_TRUE(text::isIntegerWithin("31", 1, 31));
    EXPECT_FALSE(text::isIntegerWithin("ab", 1, 31));
}

TEST(FieldTextRulesTest, YearsInEraStylesAndTheirEmptyText)
{
    EXPECT_EQ(text::yearDisplayText("2024", 1), "2024");
    EXPECT_EQ(text::yearDisplayText("1930", 4), "19");
    EXPECT_EQ(text::yearDisplayText("1930", 5), "019");
    EXPECT_EQ(text::yearDisplayText("", 1), "");
    EXPECT_EQ(text::yearStorageText("24", 1), "0024");
    EXPECT_EQ(text::yearStorageText("113", 5), "2024");
    EXPECT_EQ(text::yearStorageText("", 2), "0000");
    EXPECT_EQ(text::yearStorageText("", 4), "1911");
    EXPECT_EQ(text::yearStorageText("2024", 7), std::nullopt);
    EXPECT_EQ(text::yearStorageText("12345", 1), std::nullopt);
}

TEST(FieldTextRulesTest, TimesOfDayAndDurationsRefuseMinutesOrSecondsPastFiftyNine)
{
    EXPECT_TRUE(text::isValidTime("2359"));
    for (const char* bad : {"2400", "0960", "905", "09a5", "12305"})
        EXPECT_FALSE(text::isValidTime(bad)) << bad;
    EXPECT_EQ(text::durationText(0), "0000:00:00");
    EXPECT_EQ(text::durationSeconds("1:2:3"), 3723);
    EXPECT_EQ(text::durationSeconds("9999:59:59"), 35999999);
    EXPECT_EQ(text::durationSeconds("    :  :  "), 0);
    for (const char* bad : {"0001:60:00", "0001:00:60", "-1:00:00", "10000:00:00", "0:-1:0"})
        EXPECT_EQ(text::durationSeconds(bad), std::nullopt) << bad;
}

TEST(FieldTextRulesTest, PercentagesAreFractionsShownWithTwoDecimals)
{
    EXPECT_EQ(text::percentText(0.05), "5.00%");
    EXPECT_EQ(text::percentText(1.2345), "123.45%");
    const std::pair<const char*, double> typed[] = {
        {"5  .50%", 0.055}, {"17", 0.17}, {"17%", 0.17}, {" .5 %", 0.005}, {"-  .50%", -0.005},
    };
    for (const auto& [text, fraction] : typed)
        EXPECT_DOUBLE_EQ(text::percentFraction(text).value(), fraction) << text;
    EXPECT_EQ(text::percentFraction(""), std::nullopt);
}

// A lookup list's cells by their column's kind, as both lookup windows show them.
TEST(FieldTextRulesTest, ListCellsShowByTheirColumnsKind)
{
    EXPECT_EQ(text::listCellText("D", Variant("20250115"), 3, "-"), "15-01-2025");
    EXPECT_EQ(text::listCellText("D", Variant(20250115.0), 1, "/"), "2025/01/15");
    EXPECT_EQ(text::listCellText("D", Variant("20250100"), 1, "/"), "");
    EXPECT_EQ(text::listCellText("Y", Variant("2024"), 4, "/"), "113");
    EXPECT_EQ(text::listCellText("YM", Variant("202405"), 2, "."), "05.2024");
    EXPECT_EQ(text::listCellText("%", Variant(0.3684), 1, "/"), "36.84%");
    EXPECT_EQ(text::listCellText("%", Variant("0.05"), 1, "/"), "5.00%");
    EXPECT_EQ(text::listCellText("L", Variant("Y"), 1, "/"), gbk("√"));
    EXPECT_EQ(text::listCellText("L", Variant("N"), 1, "/"), "");
    EXPECT_EQ(text::listCellText("C", Variant("20250115"), 1, "/"), "20250115");
    EXPECT_EQ(text::listCellText("", Variant(2500), 1, "/"), "2500");
    EXPECT_EQ(text::listCellText("D", Variant::null(), 1, "/"), "");
    EXPECT_EQ(text::knownDateStyle(" 3"), 3);
    EXPECT_EQ(text::knownDateStyle("9"), 1);
    EXPECT_EQ(text::knownDateStyle(""), 1);
}

} // namespace
} // namespace orvane::test
