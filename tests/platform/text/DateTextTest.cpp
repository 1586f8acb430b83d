#include "platform/text/DateText.h"

#include "platform/variant/Variant.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane::test {
namespace {

using namespace orvane::text;

TEST(DateTextTest, CalendarLeapYearsAndMonthEnds)
{
    struct Case {
        int year, month, day;
        bool valid;
    };
    const Case cases[] = {
        {2024, 2, 29, true},  {2023, 2, 29, false}, {1900, 2, 29, false}, {2000, 2, 29, true},  {2024, 4, 30, true},
        {2024, 4, 31, false}, {2024, 12, 31, true}, {2024, 13, 1, false}, {2024, 0, 10, false}, {2024, 1, 0, false},
        {1, 1, 1, true},      {9999, 12, 31, true}, {0, 12, 31, false},   {10000, 1, 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isValidDate(c.year, c.month, c.day), c.valid) << c.year << "-" << c.month << "-" << c.day;
}

TEST(DateTextTest, CalendarDayNumbersFrom18991230)
{
    const std::pair<CivilDate, double> cases[] = {
        {{1899, 12, 30}, 0},  {{1899, 12, 31}, 1},   {{1900, 1, 1}, 2},
        {{1900, 3, 1}, 61},   {{2000, 1, 1}, 36526}, {{2024, 5, 6}, 45418},
        {{1899, 12, 29}, -1}, {{1, 1, 1}, -693593},  {{9999, 12, 31}, 2958465},
    };
    for (const auto& [date, value] : cases) {
        EXPECT_EQ(encodeDate(date.year, date.month, date.day), value) << value;
        EXPECT_EQ(decodeDate(value), date) << value;
    }
    EXPECT_FALSE(tryEncodeDate(2023, 2, 29));
    EXPECT_THROW(encodeDate(2024, 2, 30), ConversionError);
}

TEST(DateTextTest, CalendarTimeOfDay)
{
    EXPECT_EQ(encodeTime(12, 0, 0), 0.5);
    EXPECT_EQ(encodeTime(6, 0, 0), 0.25);
    EXPECT_EQ(decodeTime(45418 + encodeTime(9, 3, 7, 45)), (TimeOfDay{9, 3, 7, 45}));
    EXPECT_EQ(decodeTime(-1.25), (TimeOfDay{6, 0, 0, 0})); // before day 0 the time still counts forward
    EXPECT_EQ(decodeDate(-1.25), (CivilDate{1899, 12, 29}));
    // A time a hair before midnight rounds into the next day.
    EXPECT_EQ(decodeDate(45418.9999999999), (CivilDate{2024, 5, 7}));
    EXPECT_EQ(decodeTime(45418.9999999999), (TimeOfDay{}));
    EXPECT_THROW(encodeTime(24, 0, 0), ConversionError);
    EXPECT_THROW(encodeTime(9, 60, 0), ConversionError);
    EXPECT_THROW(encodeTime(9, 0, 0, 1000), ConversionError);
    EXPECT_THROW(decodeDate(NAN), ConversionError);
    EXPECT_THROW(decodeDate(3e6), ConversionError);
    EXPECT_THROW(decodeDate(-693594), ConversionError);
}

TEST(DateTextTest, FormatDateTimePatterns)
{
    const double value = encodeDate(2024, 5, 6) + encodeTime(9, 3, 7, 45);
    const std::pair<const char*, const char*> cases[] = {
        {"yyyymmdd", "20240506"},
        {"YYYYMMDD", "20240506"},
        {"yyyy/mm/dd hh:nn:ss:zzz", "2024/05/06 09:03:07:045"},
        {"yy-m-d h:n:s.z", "24-5-6 9:3:7.45"},
        {"hh:mm", "09:03"}, // mm after an hour token is the minute
        {"yyyy'year'mm", "2024year05"},
        {"\"dd\" dd", "dd 06"},
        {"", ""},
    };
    for (const auto& [pattern, expected] : cases)
        EXPECT_EQ(formatDateTime(pattern, value), expected) << pattern;
    EXPECT_EQ(formatDateTime("yyyy/mm/dd", encodeDate(9, 1, 2)), "0009/01/02");
}

TEST(DateTextTest, StorageParseAndAddDays)
{
    EXPECT_EQ(parseDateText("20240229"), encodeDate(2024, 2, 29));
    EXPECT_EQ(parseDateText(" 20240506 "), encodeDate(2024, 5, 6));
    for (const char* bad : {"20230229", "20241301", "20240500", "2024056", "2024-5-6", "", "00000000", "2024O506"})
        EXPECT_FALSE(parseDateText(bad)) << bad;

    const std::tuple<const char*, int, const char*> cases[] = {
        {"20240228", 1, "20240229"}, {"20240229", 1, "20240301"},    {"20230228", 1, "20230301"},
        {"20241231", 1, "20250101"}, {"20240301", -1, "20240229"},   {"20240131", 30, "20240301"},
        {"20240506", 0, "20240506"}, {"20240506", -366, "20230506"},
    };
    for (const auto& [text, days, expected] : cases)
        EXPECT_EQ(addDays(text, days), expected) << text << " + " << days;

    EXPECT_EQ(errorOf<ConversionError>([] { addDays("2024-05-06", 1); }),
              "'2024-05-06' is not a valid date (YYYYMMDD)");
    EXPECT_THROW(addDays("99991231", 1), ConversionError);
}

TEST(DateTextTest, LocalClockTodayIsNowWithoutTime)
{
    const double before = today();
    const double current = now();
    EXPECT_GE(current, before);
    EXPECT_LT(current, before + 2); // the day may turn between the two calls
    EXPECT_EQ(today(), std::trunc(today()));
}

} // namespace
} // namespace orvane::test
