#include "server/salesorder/StoredValue.h"

#include "platform/variant/NumberText.h"

#include <cmath>
#include <cstdint>

namespace orvane {

namespace {

// The value as shown in a message: at most 40 bytes, cut on a character boundary.
std::string quoted(const std::string& text)
{
    if (text.size() <= 40)
        return "'" + text + "'";
    std::size_t cut = 40;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return "'" + text.substr(0, cut) + "...'";
}

StoredFit refused(const ColumnDef& column, const std::string& reason)
{
    return {Variant(), "Field " + column.name + ": " + reason};
}

StoredFit fitText(const ColumnDef& column, const Variant& value)
{
    const std::string text = value.toString();
    const auto length = utf8Length(text);
    if (!length)
        return refused(column, "the value is not valid UTF-8 text");
    if (column.type == SqlType::Text && *length > static_cast<std::size_t>(column.size)) {
        return refused(column, "the value " + quoted(text) + " has " + std::to_string(*length) +
                                   " characters; at most " + std::to_string(column.size) + " fit");
    }
    return {Variant(text), {}};
}

// No amount, quantity, price or rate of an order comes near this, and past it a double no
// longer holds cents exactly; an infinite or huge amount would also spoil the customer's
// running totals that triggers add up from the stored lines.
constexpr double largestNumber = 1e15;

// A client's text read as a number of the column's kind; empty text is 0.
std::optional<Variant> parsedNumber(const std::string& text, bool whole)
{
    if (text.empty())
        return Variant(0);
    if (whole) {
        if (const auto number = text::tryParseInteger(text))
            return Variant(*number);
    } else if (const auto number = text::tryParseFloat(text)) {
        return Variant(*number);
    }
    return std::nullopt;
}

StoredFit fitNumber(const ColumnDef& column, const Variant& value)
{
    const bool whole = column.type == SqlType::Integer;
    Variant number = value;
    if (!value.isNumeric() && !value.isBoolean()) {
        const std::string text = value.toString();
        const auto parsed = parsedNumber(text, whole);
        if (!parsed)
            return refused(column, "the value " + quoted(text) + (whole ? " is not a whole number" : " is not a number"));
        number = *parsed;
    }
    if (!(std::fabs(number.toFloat()) < largestNumber)) { // NaN fails the comparison too
        return refused(column, "the value " + quoted(value.toString()) +
                                   " is out of range: a stored number is finite and below 1e15 in size");
    }
    return {whole ? Variant(number.toInteger()) : Variant(number.toFloat()), {}};
}

} // namespace

Variant packetValue(const Variant& value, FieldType type)
{
    if (value.isUnassignedOrNull())
        return Variant::null();
    switch (type) {
    case FieldType::Float:
        if (value.isNumeric())
            return Variant(value.toFloat());
        if (const auto number = text::tryParseFloat(value.toString()))
            return Variant(*number);
        return Variant::null();
    case FieldType::Integer:
    case FieldType::SmallInt: return Variant(value.toIntegerOrZero());
    default: return value.isString() ? value : Variant(value.toString());
    }
}

StoredFit fitColumn(const ColumnDef& column, const Variant& value)
{
    const bool text = column.type == SqlType::Text || column.type == SqlType::Memo;
    if (value.isUnassignedOrNull())
        return {text ? Variant(std::string()) : Variant(0.0), {}};
    if (value.isArray() || value.isDispatch())
        return refused(column, "a " + std::string(typeName(value.type())) + " cannot be stored");
    return text ? fitText(column, value) : fitNumber(column, value);
}

std::optional<std::size_t> utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            code = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + extra >= text.size())
            return std::nullopt;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates, values past U+10FFFF and NUL are refused alike.
        static constexpr std::uint32_t smallest[] = {0x1, 0x80, 0x800, 0x10000};
        if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        i += extra + 1;
    }
    return count;
}

} // namespace orvane
