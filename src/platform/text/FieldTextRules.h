#pragma once
// The pure text rules of the field text formats: edit masks, and the conversions between the
// storage forms of dates, periods, times, durations and percentages and the text a user sees
// and types under the installation's date style (1..5) and date separator. The field handlers
// of FieldTextFormats are thin wrappers around these.
//
// Date styles: 1 year-month-day, 2 month-day-year, 3 day-month-year (4-digit years); 4 and 5
// year-month-day in era years (Gregorian year - 1911), 4 with at least 2 digits, 5 with exactly
// 3. An unknown style reads and writes as style 1. Separators may be several characters or
// empty; with an empty separator typed text is cut by position: month and day take two
// characters each and the year takes the rest (on the right for year-first styles, on the left
// for styles 2 and 3), so 2- and 3-digit era years both read.
//
// Texts are byte strings of the installation code page; a separator is only matched at
// character boundaries. Pure functions, callable from any thread.

#include "platform/text/DateText.h"
#include "platform/variant/Variant.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::text {

// The style a stored style number means: 1..5 as they are; any other number is style 1, so
// that what is shown can be typed back (the year-month and year fields store nothing under an
// unknown style).
inline int knownDateStyle(int style)
{
    return style >= 1 && style <= 5 ? style : 1;
}

// The style the system parameter's text names, as above; style 1 for text that is no number.
int knownDateStyle(std::string_view parameter);

// Gregorian year = era year + eraYearOffset under styles 4 and 5.
inline constexpr int eraYearOffset = 1911;

// Masks of the kinds without style: mask, keep-literals flag, blank character.
inline constexpr std::string_view timeEditMask = "99:99;1; ";
inline constexpr std::string_view dayMonthEditMask = "99;1; ";
inline constexpr std::string_view durationEditMask = "9999:99:99;1; ";
inline constexpr std::string_view percentEditMask = "###.##%;1; ";
// Number patterns: grouped for display, plain for editing, up to seven decimals.
inline constexpr std::string_view numberDisplayFormat = "#,##0.#######";
inline constexpr std::string_view numberEditFormat = "##0.#######";

// Masks by style; the separator is written with its mask characters escaped.
std::string dateEditMask(int style, std::string_view separator);
std::string yearMonthEditMask(int style, std::string_view separator);
std::string monthDayEditMask(std::string_view separator);
std::string yearEditMask(int style);

// The value as decimal digits, zero-padded to `digits` after the sign ("%.*d").
std::string zeroPadded(std::int64_t value, int digits);

// Full dates. The calendar parts of a stored "YYYYMMDD" text; none when the length is not 8 or
// a part is 0 or not a number.
std::optional<CivilDate> storedDateParts(std::string_view stored);
// The date as shown under the style, with the first character of the separator.
std::string dateDisplayText(const CivilDate& date, int style, std::string_view separator);
// Typed text to storage: "" for empty text, "0" when a part is missing or below 1, else year
// (4 digits), month and day (2 digits each) without any calendar check; a part wider than its
// digits makes the result longer than 8 characters.
std::string dateStorageText(std::string_view typed, int style, std::string_view separator);
// True when typed date text has a year of fewer digits than the style's four ("24/05/06" under
// style 1 would be year 24) or a blank among its digits ("20 4" would be year 0): a year cut
// short, refused rather than stored. Era years (styles 4 and 5) are short by nature and are cut
// short only by a blank; never without a year (the text does not read as a date).
bool isYearCutShort(std::string_view typed, int style, std::string_view separator);
// Typed text to a date value for native date fields: the first of the month plus (day - 1)
// days, so day 30 of February rolls into March; none for an impossible month, a part below 1
// or a date outside years 1..9999.
std::optional<double> typedDateValue(std::string_view typed, int style, std::string_view separator);
// True for exactly 8 digits forming a calendar day.
bool isValidStoredDate(std::string_view stored);

// Year-month periods ("YYYYMM").
std::string yearMonthDisplayText(std::string_view stored, int style, std::string_view separator);
// "" when the text has no year and month above "0" or the style is unknown.
std::string yearMonthStorageText(std::string_view typed, int style, std::string_view separator);
// As isYearCutShort, for year-month text ("24/05").
bool isPeriodYearCutShort(std::string_view typed, int style, std::string_view separator);
// At least 6 characters, characters 5-6 a month 1..12.
bool isValidYearMonth(std::string_view stored);

// Month-days ("MMDD"); style 3 shows and takes the day first.
std::string monthDayDisplayText(std::string_view stored, int style, std::string_view separator);
// None for blank text (the empty mask), which clears the field.
std::optional<std::string> monthDayStorageText(std::string_view typed, int style, std::string_view separator);

// Years ("YYYY").
std::string yearDisplayText(std::string_view stored, int style);
// None for an unknown style or a year outside 0..9999 (both clear the field); empty text stores
// "0000", or "1911" under the era styles.
std::optional<std::string> yearStorageText(std::string_view typed, int style);
// As isYearCutShort, for a year typed alone ("24" under style 1 would be year 24).
bool isLoneYearCutShort(std::string_view typed, int style);

// Times of day ("HHMM").
std::string timeDisplayText(std::string_view stored);
// None for blank text; "" when the hour or the minute is left blank or is not digits;
// otherwise the two 2-digit parts around ":" (not checked here).
std::optional<std::string> timeStorageText(std::string_view typed);
// Exactly 4 digits, hours 0..23, minutes 0..59.
bool isValidTime(std::string_view stored);

// Day and month fields: "" for blank text, else the integer (ConversionError for a non-number)
// with at least 2 digits.
std::string dayMonthStorageText(std::string_view typed);
// The stored text is an integer within [low, high].
bool isIntegerWithin(std::string_view stored, int low, int high);

// Durations in seconds shown as "HHHH:MM:SS".
std::string durationText(std::int64_t seconds);
// The seconds of "H:M:S" text; none when hours are negative or beyond 4 digits, or minutes or
// seconds are outside 0..59.
std::optional<std::int64_t> durationSeconds(std::string_view typed);

// Percentages: a fraction shown as "5.00%".
std::string percentText(double fraction);
// The fraction of typed "5.5", "  5.50%", "17" or "17%"; none for blank text (the empty mask);
// ConversionError quoting the text for a non-number.
std::optional<double> percentFraction(std::string_view typed);

// Numbers: a float is stored and rounded as text of this many significant digits.
inline constexpr int keptSignificantDigits = 15;
// The significant digits of number text, from its first to its last non-zero digit, counting
// decimals only up to `decimals` (all when negative) and ignoring an exponent: "0012.3400" has 4,
// "1.23456" with 2 decimals 3.
int significantDigits(std::string_view number, int decimals);

// The text a lookup list shows for a cell of a column of the given kind: "D" a stored date, "Y"
// a year and "YM" a period under the style and separator, "%" a fraction as a rate, "L" "√" for
// "Y" and nothing otherwise; any other kind the value as it is. Nothing for no value (null,
// empty, an array or an object), and a value that is no date or number of its kind shows as it is.
std::string listCellText(std::string_view kind, const Variant& value, int style, std::string_view separator);

// True when the text holds nothing but blanks and separators (the blank mask text).
bool isBlankMaskText(std::string_view typed, std::string_view separator);

} // namespace orvane::text
