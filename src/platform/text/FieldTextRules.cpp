#include "platform/text/FieldTextRules.h"

#include "platform/text/ByteText.h"
#include "platform/text/Format.h"
#include "platform/text/LocalText.h"
#include "platform/variant/NumberText.h"
#include "platform/variant/Variant.h"

#include <array>
#include <cstdint>

namespace orvane::text {

namespace {

// Characters with a meaning in a mask; a separator holding one is escaped with "\".
constexpr std::string_view maskCharacters = "09#LlAaCc<>!\\_;";
constexpr std::string_view maskTail = ";1; ";
// Typed parts are clamped to this magnitude so that arithmetic on them never overflows; the
// clamped value is still far too wide for any storage form.
constexpr std::int64_t partLimit = 1'000'000'000;

bool yearFirst(int style)
{
    return style != 2 && style != 3;
}

bool eraStyle(int style)
{
    return style == 4 || style == 5;
}

// The year part of a mask. Style 4 takes up to three digits: era years passed 99 in 2010.
std::string yearMask(int style)
{
    return eraStyle(style) ? "999" : "9999";
}

std::string escapedSeparator(std::string_view separator)
{
    const CodePage codePage = installationCodePage();
    std::string escaped;
    for (std::size_t at = 0; at < separator.size();) {
        const std::size_t length = characterLength(separator, at, codePage);
        if (length == 1 && maskCharacters.find(separator[at]) != std::string_view::npos)
            escaped += '\\';
        escaped.append(separator.substr(at, length));
        at += length;
    }
    return escaped;
}

// Position of `separator` in `text` at or after `from`, matched only where a character
// starts; npos when absent or empty.
std::size_t findSeparator(std::string_view text, std::string_view separator, std::size_t from = 0)
{
    if (separator.empty())
        return std::string_view::npos;
    const CodePage codePage = installationCodePage();
    for (std::size_t at = from; at + separator.size() <= text.size(); at += characterLength(text, at, codePage)) {
        if (text.compare(at, separator.size(), separator) == 0)
            return at;
    }
    return std::string_view::npos;
}

// The text cut at the separator into N parts, the last keeping the rest; missing parts are empty.
template <std::size_t N>
std::array<std::string_view, N> splitAt(std::string_view text, std::string_view separator)
{
    std::array<std::string_view, N> parts{};
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < N; ++i) {
        const std::size_t found = findSeparator(text, separator, start);
        if (found == std::string_view::npos) {
            parts[i] = text.substr(start);
            return parts;
        }
        parts[i] = text.substr(start, found - start);
        start = found + separator.size();
    }
    parts[N - 1] = text.substr(start);
    return parts;
}

// Without a separator: 2-character parts with the variable part (the year) first or last.
template <std::size_t N>
std::array<std::string_view, N> cutByPosition(std::string_view text, bool variableFirst)
{
    std::array<std::string_view, N> parts{};
    constexpr std::size_t fixedWidth = 2 * (N - 1);
    const std::size_t variableWidth = text.size() > fixedWidth ? text.size() - fixedWidth : 0;
    std::size_t at = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const bool variable = variableFirst ? i == 0 : i == N - 1;
        const std::size_t width = variable ? variableWidth : 2;
        parts[i] = at < text.size() ? text.substr(at, width) : std::string_view();
        at += width;
    }
    return parts;
}

template <std::size_t N>
std::array<std::string_view, N> typedParts(std::string_view trimmed, std::string_view separator, bool variableFirst)
{
    return separator.empty() ? cutByPosition<N>(trimmed, variableFirst) : splitAt<N>(trimmed, separator);
}

std::int64_t clamped(std::int64_t value)
{
    return value > partLimit ? partLimit : (value < -partLimit ? -partLimit : value);
}

// A typed part as an integer; `otherwise` when it is not one.
std::int64_t readPart(std::string_view part, std::int64_t otherwise = 0)
{
    const auto value = tryParseInteger(part);
    return value ? clamped(*value) : otherwise;
}

// The first character of the separator, whole even when it is a double-byte one.
std::string_view firstCharacter(std::string_view separator)
{
    return separator.substr(0, separator.empty() ? 0 : characterLength(separator, 0, installationCodePage()));
}

bool allDigits(std::string_view text)
{
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return !text.empty();
}

// Parts in display order to (year, month, day); era years become Gregorian.
CivilDate partsInStyleOrder(const std::array<std::int64_t, 3>& p, int style)
{
    const auto part = [&](std::size_t i) { return static_cast<int>(p[i]); };
    switch (style) {
    case 2: return {part(2), part(0), part(1)};
    case 3: return {part(2), part(1), part(0)};
    case 4:
    case 5: return {part(0) + eraYearOffset, part(1), part(2)};
    default: return {part(0), part(1), part(2)};
    }
}

std::array<std::int64_t, 3> readDateParts(std::string_view trimmed, int style, std::string_view separator,
                                          std::int64_t otherwise)
{
    const auto parts = typedParts<3>(trimmed, separator, yearFirst(style));
    return {readPart(parts[0], otherwise), readPart(parts[1], otherwise), readPart(parts[2], otherwise)};
}

std::string eraYearText(std::int64_t year, int style)
{
    return style == 5 ? zeroPadded(year - eraYearOffset, 3) : std::to_string(year - eraYearOffset);
}

// The year part of typed date (N = 3), year-month (N = 2) or year (N = 1) text, trimmed.
template <std::size_t N>
std::string typedYear(std::string_view typed, int style, std::string_view separator)
{
    const std::string trimmed = trim(typed); // the parts are views into it
    const auto parts = typedParts<N>(trimmed, separator, yearFirst(style));
    return trim(parts[yearFirst(style) ? 0 : N - 1]);
}

// A typed year missing digits: a blank among them ("20 4", read as year 0), or fewer than four
// under the four-digit styles.
bool isCutShort(std::string_view year, int style)
{
    return !year.empty() && (!allDigits(year) || (!eraStyle(style) && year.size() < 4));
}

} // namespace

int knownDateStyle(std::string_view parameter)
{
    const auto style = tryParseInteger(trim(parameter));
    return style && *style >= 1 && *style <= 5 ? static_cast<int>(*style) : 1;
}

std::string dateEditMask(int style, std::string_view separator)
{
    const std::string s = escapedSeparator(separator);
    if (yearFirst(style))
        return yearMask(style) + s + "99" + s + "99" + std::string(maskTail);
    return "99" + s + "99" + s + yearMask(style) + std::string(maskTail);
}

std::string yearMonthEditMask(int style, std::string_view separator)
{
    const std::string s = escapedSeparator(separator);
    if (yearFirst(style))
        return yearMask(style) + s + "99" + std::string(maskTail);
    return "99" + s + yearMask(style) + std::string(maskTail);
}

std::string monthDayEditMask(std::string_view separator)
{
    return "99" + escapedSeparator(separator) + "99" + std::string(maskTail);
}

std::string yearEditMask(int style)
{
    return yearMask(style) + std::string(maskTail);
}

std::string zeroPadded(std::int64_t value, int digits)
{
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string text = std::to_string(magnitude);
    if (static_cast<int>(text.size()) < digits)
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return negative ? "-" + text : text;
}

std::optional<CivilDate> storedDateParts(std::string_view stored)
{
    if (stored.size() != 8)
        return std::nullopt;
    const CivilDate date{static_cast<int>(readPart(stored.substr(0, 4))),
                         static_cast<int>(readPart(stored.substr(4, 2))),
                         static_cast<int>(readPart(stored.substr(6, 2)))};
    if (date.year <= 0 || date.month <= 0 || date.day <= 0)
        return std::nullopt;
    return date;
}

std::string dateDisplayText(const CivilDate& date, int style, std::string_view separator)
{
    const std::string_view s = firstCharacter(separator);
    const std::string month = zeroPadded(date.month, 2);
    const std::string day = zeroPadded(date.day, 2);
    std::string year;
    switch (style) {
    case 2: return month + std::string(s) + day + std::string(s) + zeroPadded(date.year, 4);
    case 3: return day + std::string(s) + month + std::string(s) + zeroPadded(date.year, 4);
    case 4: year = zeroPadded(date.year - eraYearOffset, 2); break;
    case 5: year = zeroPadded(date.year - eraYearOffset, 3); break;
    default: year = zeroPadded(date.year, 4); break;
    }
    return year + std::string(s) + month + std::string(s) + day;
}

std::string dateStorageText(std::string_view typed, int style, std::string_view separator)
{
    const std::string trimmed = trim(typed);
    if (trimmed.empty())
        return {};
    const auto parts = readDateParts(trimmed, style, separator, 0);
    if (parts[0] < 1 || parts[1] < 1 || parts[2] < 1)
        return "0";
    const CivilDate date = partsInStyleOrder(parts, style);
    return zeroPadded(date.year, 4) + zeroPadded(date.month, 2) + zeroPadded(date.day, 2);
}

bool isYearCutShort(std::string_view typed, int style, std::string_view separator)
{
    return isCutShort(typedYear<3>(typed, style, separator), style);
}

std::optional<double> typedDateValue(std::string_view typed, int style, std::string_view separator)
{
    const std::string trimmed = trim(typed);
    if (trimmed.empty())
        return std::nullopt;
    const auto parts = readDateParts(trimmed, style, separator, -1);
    if (parts[0] <= 0 || parts[1] <= 0 || parts[2] < 1)
        return std::nullopt;
    const CivilDate date = partsInStyleOrder(parts, style);
    const auto first = tryEncodeDate(date.year, date.month, 1);
    if (!first)
        return std::nullopt;
    const double value = *first + (date.day - 1);
    if (value > encodeDate(9999, 12, 31))
        return std::nullopt;
    return value;
}

bool isValidStoredDate(std::string_view stored)
{
    if (stored.size() != 8 || !allDigits(stored))
        return false;
    return isValidDate(static_cast<int>(readPart(stored.substr(0, 4))), static_cast<int>(readPart(stored.substr(4, 2))),
                       static_cast<int>(readPart(stored.substr(6, 2))));
}

std::string yearMonthDisplayText(std::string_view stored, int style, std::string_view separator)
{
    if (trim(stored).empty())
        return {};
    const std::string_view year = stored.substr(0, 4);
    const std::string_view month = stored.size() > 4 ? stored.substr(4, 2) : std::string_view();
    if (!(year > "0" && month > "0"))
        return {};
    const std::string s(separator);
    switch (style) {
    case 2:
    case 3: return std::string(month) + s + std::string(year);
    case 4:
    case 5: return eraYearText(readPart(year), style) + s + std::string(month);
    default: return std::string(year) + s + std::string(month);
    }
}

std::string yearMonthStorageText(std::string_view typed, int style, std::string_view separator)
{
    if (style < 1 || style > 5)
        return {};
    const std::string trimmed = trim(typed);
    const auto parts = typedParts<2>(trimmed, separator, yearFirst(style));
    const std::string first = trim(parts[0]);
    const std::string second = trim(parts[1]);
    if (!(first > "0" && second > "0"))
        return {};
    const std::string& yearPart = yearFirst(style) ? first : second;
    std::string month = yearFirst(style) ? second : first;
    if (month.size() < 2)
        month.insert(0, 2 - month.size(), '0');
    const std::int64_t year = readPart(yearPart) + (eraStyle(style) ? eraYearOffset : 0);
    return zeroPadded(year, 4) + month;
}

bool isPeriodYearCutShort(std::string_view typed, int style, std::string_view separator)
{
    return isCutShort(typedYear<2>(typed, style, separator), style);
}

bool isValidYearMonth(std::string_view stored)
{
    if (stored.size() < 6 || !allDigits(stored.substr(4, 2)))
        return false;
    const std::int64_t month = readPart(stored.substr(4, 2));
    return month >= 1 && month <= 12;
}

std::string monthDayDisplayText(std::string_view stored, int style, std::string_view separator)
{
    if (trim(stored).empty())
        return {};
    const std::string_view month = stored.substr(0, 2);
    const std::string_view day = stored.size() > 2 ? stored.substr(2, 2) : std::string_view();
    const std::string s(separator);
    return style == 3 ? std::string(day) + s + std::string(month) : std::string(month) + s + std::string(day);
}

std::optional<std::string> monthDayStorageText(std::string_view typed, int style, std::string_view separator)
{
    if (isBlankMaskText(typed, separator))
        return std::nullopt;
    const std::string trimmed = trim(typed);
    const auto parts = typedParts<2>(trimmed, separator, false);
    const std::string first = zeroPadded(readPart(parts[0]), 2);
    const std::string second = zeroPadded(readPart(parts[1]), 2);
    return style == 3 ? second + first : first + second;
}

std::string yearDisplayText(std::string_view stored, int style)
{
    if (trim(stored).empty())
        return {};
    const std::string_view year = stored.substr(0, 4);
    if (!(year > "0"))
        return {};
    if (eraStyle(style))
        return eraYearText(readPart(year), style);
    return zeroPadded(readPart(year), 4);
}

std::optional<std::string> yearStorageText(std::string_view typed, int style)
{
    if (style < 1 || style > 5)
        return std::nullopt;
    const std::int64_t year = readPart(trim(typed)) + (eraStyle(style) ? eraYearOffset : 0);
    if (year < 0 || year > 9999)
        return std::nullopt;
    return zeroPadded(year, 4);
}

bool isLoneYearCutShort(std::string_view typed, int style)
{
    return isCutShort(typedYear<1>(typed, style, {}), style);
}

std::string timeDisplayText(std::string_view stored)
{
    if (stored.empty())
        return {};
    const std::size_t cut = stored.size() < 2 ? stored.size() : 2;
    return std::string(stored.substr(0, cut)) + ":" + std::string(stored.substr(cut));
}

std::optional<std::string> timeStorageText(std::string_view typed)
{
    if (isBlankMaskText(typed, ":"))
        return std::nullopt;
    const auto parts = splitAt<2>(typed, ":");
    // A part left blank ("  :30", a digit deleted in the mask) would read as 0: not a time.
    const std::string hours = trim(parts[0]);
    const std::string minutes = trim(parts[1]);
    if (!allDigits(hours) || !allDigits(minutes))
        return std::string();
    return zeroPadded(readPart(hours), 2) + zeroPadded(readPart(minutes), 2);
}

bool isValidTime(std::string_view stored)
{
    if (stored.size() != 4 || !allDigits(stored))
        return false;
    return readPart(stored.substr(0, 2)) <= 23 && readPart(stored.substr(2, 2)) <= 59;
}

std::string dayMonthStorageText(std::string_view typed)
{
    const std::string trimmed = trim(typed);
    if (trimmed.empty())
        return {};
    return zeroPadded(clamped(parseInteger(trimmed)), 2);
}

bool isIntegerWithin(std::string_view stored, int low, int high)
{
    const auto value = tryParseInteger(stored);
    return value && *value >= low && *value <= high;
}

std::string durationText(std::int64_t seconds)
{
    return zeroPadded(seconds / 3600, 4) + ":" + zeroPadded(seconds % 3600 / 60, 2) + ":" + zeroPadded(seconds % 60, 2);
}

std::optional<std::int64_t> durationSeconds(std::string_view typed)
{
    const auto parts = splitAt<3>(typed, ":");
    const std::int64_t hours = readPart(parts[0]);
    const std::int64_t minutes = readPart(parts[1]);
    const std::int64_t seconds = readPart(parts[2]);
    // The rebuilt "HHHH:MM:SS" text must be exactly 10 characters with minutes and seconds below 60.
    if (hours < 0 || hours > 9999 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return std::nullopt;
    return hours * 3600 + minutes * 60 + seconds;
}

std::string percentText(double fraction)
{
    return format("%3.2f%%", {fraction * 100});
}

std::optional<double> percentFraction(std::string_view typed)
{
    const CodePage codePage = installationCodePage();
    const std::size_t point = findSingleByte(typed, '.', codePage);
    std::string_view whole = typed.substr(0, point);
    std::string_view rest = point == std::string_view::npos ? std::string_view() : typed.substr(point + 1);
    whole = whole.substr(0, findSingleByte(whole, '%', codePage));
    rest = rest.substr(0, findSingleByte(rest, '%', codePage));
    std::string integer = trim(whole);
    const std::string decimals = trim(rest);
    if (integer.empty() && decimals.empty())
        return std::nullopt;
    if (integer.empty() || integer == "-" || integer == "+")
        integer += '0';
    const auto value = tryParseFloat(decimals.empty() ? integer : integer + "." + decimals);
    if (!value)
        throw ConversionError("'" + std::string(typed) + "' is not a valid percentage");
    return *value / 100;
}

int significantDigits(std::string_view number, int decimals)
{
    std::string digits;
    int decimalsRead = -1; // none before the point
    for (const char c : number.substr(0, number.find_first_of("eE"))) {
        if (c == '.')
            decimalsRead = 0;
        else if (c < '0' || c > '9')
            continue;
        else if (decimalsRead < 0 || decimals < 0 || decimalsRead++ < decimals)
            digits += c;
    }
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? 0 : static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

std::string listCellText(std::string_view kind, const Variant& value, int style, std::string_view separator)
{
    if (value.isEmpty() || value.isArray() || value.isDispatch())
        return {};
    const std::string stored = value.toString();
    if (kind == "D") {
        const auto date = storedDateParts(stored);
        return date ? dateDisplayText(*date, style, separator) : std::string();
    }
    if (kind == "Y")
        return yearDisplayText(stored, style);
    if (kind == "YM")
        return yearMonthDisplayText(stored, style, separator);
    if (kind == "%") {
        const auto fraction = value.isNumeric() ? std::optional(value.toFloat()) : tryParseFloat(stored);
        return fraction ? percentText(*fraction) : stored;
    }
    if (kind == "L")
        return stored == "Y" ? LOCAL_TEXT(u8"√") : std::string();
    return stored;
}

bool isBlankMaskText(std::string_view typed, std::string_view separator)
{
    std::string rest;
    std::size_t start = 0;
    for (std::size_t found = findSeparator(typed, separator); found != std::string_view::npos;
         found = findSeparator(typed, separator, start)) {
        rest.append(typed.substr(start, found - start));
        start = found + separator.size();
    }
    rest.append(typed.substr(start));
    return trim(rest).empty();
}

} // namespace orvane::text
