#include "platform/text/DateText.h"

#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"
#include "platform/variant/Variant.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace orvane::text {
namespace {

namespace chrono = std::chrono;

constexpr std::int64_t msPerDay = 86'400'000;
// Day 0 of the toolkit (1899-12-30) counted from the system clock's epoch.
constexpr chrono::sys_days dayZero = chrono::sys_days(chrono::year(1899) / 12 / 30);

constexpr std::int64_t dayNumber(int year, int month, int day)
{
    const chrono::sys_days date(chrono::year(year) / month / day);
    return (date - dayZero).count();
}

constexpr std::int64_t firstDay = dayNumber(1, 1, 1);
constexpr std::int64_t lastDay = dayNumber(9999, 12, 31);

// A value as whole days and milliseconds into the day (rounded to the nearest one).
struct DayAndTime {
    std::int64_t day;
    std::int64_t ms;
};

DayAndTime split(double value)
{
    if (!std::isfinite(value) || value < double(firstDay) - 1 || value >= double(lastDay) + 1)
        throw ConversionError("'" + floatToText(value) + "' is not a valid date and time value");
    const double whole = std::trunc(value);
    DayAndTime result{static_cast<std::int64_t>(whole), std::llround(std::abs(value - whole) * msPerDay)};
    if (result.ms >= msPerDay) {
        result.ms -= msPerDay;
        ++result.day;
    }
    if (result.day < firstDay || result.day > lastDay)
        throw ConversionError("'" + floatToText(value) + "' is not a valid date and time value");
    return result;
}

void appendNumber(std::string& out, int value, int minDigits)
{
    const std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < minDigits)
        out.append(static_cast<std::size_t>(minDigits) - digits.size(), '0');
    out += digits;
}

} // namespace

int daysInMonth(int year, int month) noexcept
{
    if (month < 1 || month > 12)
        return 0;
    return static_cast<int>(unsigned(chrono::year_month_day_last(chrono::year(year) / month / chrono::last).day()));
}

bool isValidDate(int year, int month, int day) noexcept
{
    return year >= 1 && year <= 9999 && day >= 1 && day <= daysInMonth(year, month);
}

std::optional<double> tryEncodeDate(int year, int month, int day) noexcept
{
    if (!isValidDate(year, month, day))
        return std::nullopt;
    return static_cast<double>(dayNumber(year, month, day));
}

double encodeDate(int year, int month, int day)
{
    if (const auto value = tryEncodeDate(year, month, day))
        return *value;
    std::string text;
    appendNumber(text, year, 4);
    text += '-';
    appendNumber(text, month, 2);
    text += '-';
    appendNumber(text, day, 2);
    throw ConversionError("'" + text + "' is not a valid date");
}

double encodeTime(int hour, int minute, int second, int millisecond)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        throw ConversionError("'" + std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second) +
                              "." + std::to_string(millisecond) + "' is not a valid time");
    const std::int64_t ms = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(ms) / msPerDay;
}

CivilDate decodeDate(double value)
{
    const chrono::year_month_day date(dayZero + chrono::days(split(value).day));
    return {int(date.year()), int(unsigned(date.month())), int(unsigned(date.day()))};
}

TimeOfDay decodeTime(double value)
{
    const std::int64_t ms = split(value).ms;
    return {int(ms / 3'600'000), int(ms / 60'000 % 60), int(ms / 1000 % 60), int(ms % 1000)};
}

std::string formatDateTime(std::string_view pattern, double value)
{
    const CivilDate date = decodeDate(value);
    const TimeOfDay time = decodeTime(value);
    std::string out;
    out.reserve(pattern.size() + 8);
    bool afterHour = false; // an "m" right after an hour token means minutes
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = lowerAscii(pattern[i]);
        if (c == '"' || c == '\'') {
            const std::size_t close = pattern.find(pattern[i], i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            out.append(pattern.substr(i + 1, end - i - 1));
            i = end == pattern.size() ? end : end + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && lowerAscii(pattern[i + run]) == c)
            ++run;
        const auto take = [&](std::size_t most) {
            const std::size_t taken = std::min(run, most);
            i += taken;
            return static_cast<int>(taken);
        };
        switch (c) {
        case 'y':
            if (take(4) <= 2)
                appendNumber(out, date.year % 100, 2);
            else
                appendNumber(out, date.year, 4);
            break;
        case 'm': {
            const int width = take(2);
            appendNumber(out, afterHour ? time.minute : date.month, width);
            break;
        }
        case 'd': appendNumber(out, date.day, take(2)); break;
        case 'h': appendNumber(out, time.hour, take(2)); break;
        case 'n': appendNumber(out, time.minute, take(2)); break;
        case 's': appendNumber(out, time.second, take(2)); break;
        case 'z': appendNumber(out, time.millisecond, take(3) == 1 ? 1 : 3); break;
        default: out += pattern[i++]; continue; // literals leave the hour context as it is
        }
        afterHour = c == 'h';
    }
    return out;
}

double now()
{
    const auto clock = chrono::system_clock::now();
    const std::time_t seconds = chrono::system_clock::to_time_t(clock);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto ms = chrono::duration_cast<chrono::milliseconds>(clock.time_since_epoch()).count() % 1000;
    return encodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           encodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(ms < 0 ? 0 : ms));
}

double today()
{
    return std::trunc(now());
}

std::optional<double> parseDateText(std::string_view text)
{
    const std::string trimmed = trim(text);
    if (trimmed.size() != 8)
        return std::nullopt;
    for (char c : trimmed)
        if (c < '0' || c > '9')
            return std::nullopt;
    const auto number = [&](std::size_t start, std::size_t length) {
        int value = 0;
        for (std::size_t k = start; k < start + length; ++k)
            value = value * 10 + (trimmed[k] - '0');
        return value;
    };
    return tryEncodeDate(number(0, 4), number(4, 2), number(6, 2));
}

std::string dateText(double value)
{
    return formatDateTime("yyyymmdd", value);
}

std::string addDays(std::string_view text, int days)
{
    const auto date = parseDateText(text);
    if (!date)
        throw ConversionError("'" + std::string(text) + "' is not a valid date (YYYYMMDD)");
    return dateText(*date + days);
}

} // namespace orvane::text
