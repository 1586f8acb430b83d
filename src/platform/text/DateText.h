#pragma once
// Dates and times as the toolkit counts them, and their text forms.
//
// A date-time value is a double counting days from 1899-12-30 (day 0); the
// fraction is the time of day (0.5 = noon). For days before 1899-12-30 the
// fraction still counts forward from midnight (-1.25 is 1899-12-29 06:00). The
// calendar is the proleptic Gregorian one, years 1 to 9999. Stored dates are
// 8-character "YYYYMMDD" texts. Callable from any thread.

#include <optional>
#include <string>
#include <string_view>

namespace orvane::text {

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CivilDate&) const = default;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    bool operator==(const TimeOfDay&) const = default;
};

int daysInMonth(int year, int month) noexcept; // 0 for a month outside 1..12
bool isValidDate(int year, int month, int day) noexcept;

// The date value of a calendar day; nullopt / ConversionError ("'2024-02-30' is
// not a valid date") for a day that does not exist.
std::optional<double> tryEncodeDate(int year, int month, int day) noexcept;
double encodeDate(int year, int month, int day);
// The fraction of a day; ConversionError for hours above 23, minutes or seconds
// above 59, milliseconds above 999 or negative parts.
double encodeTime(int hour, int minute, int second, int millisecond = 0);

// The calendar day and the time of a value (to the nearest millisecond). Raises
// ConversionError for NaN, infinities and values outside years 1..9999.
CivilDate decodeDate(double value);
TimeOfDay decodeTime(double value);

// The value as text by a pattern of (case-insensitive) tokens: yyyy four-digit
// year, yy two-digit year, mm / m month with / without leading zero, dd / d day,
// hh / h hour, nn / n minute, ss / s second, zzz / z millisecond; mm and m right
// after an hour token mean minutes. Text in "..." or '...' and every other
// character are copied. Day and month names are not supported.
// "yyyy/mm/dd hh:nn:ss:zzz" gives "2024/05/06 09:03:07:045".
std::string formatDateTime(std::string_view pattern, double value);

// The local clock: date and time, and the date alone.
double now();
double today();

// "YYYYMMDD" text (surrounding blanks allowed) as a date value; nullopt for
// anything else, including a day that does not exist.
std::optional<double> parseDateText(std::string_view text);
// The value's day as "YYYYMMDD".
std::string dateText(double value);
// The "YYYYMMDD" text `days` days after `text` (before, for a negative count);
// ConversionError quoting the text when it is not a valid date.
std::string addDays(std::string_view text, int days);

} // namespace orvane::text
