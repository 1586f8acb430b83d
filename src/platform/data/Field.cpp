#include "platform/data/Field.h"

#include "platform/data/DataSet.h"
#include "platform/data/DataSetError.h"
#include "platform/text/ByteText.h"
#include "platform/text/DateText.h"
#include "platform/text/FormatFloat.h"
#include "platform/variant/NumberText.h"

#include <array>
#include <cstring>
#include <limits>
#include <vector>

namespace orvane {

namespace {

constexpr std::int64_t smallIntMin = std::numeric_limits<std::int16_t>::min();
constexpr std::int64_t smallIntMax = std::numeric_limits<std::int16_t>::max();

// The bytes of one slot saved before a checked write, put back when the check refuses.
class SavedSlot {
public:
    SavedSlot(const RecordLayout& layout, std::byte* buffer, int field)
        : layout_(layout), buffer_(buffer), field_(field), wasNull_(layout.isNull(buffer, field))
    {
        const std::size_t width = layout.slotSize(field);
        const std::byte* from = buffer + layout.slotOffset(field);
        if (width <= inline_.size()) {
            std::memcpy(inline_.data(), from, width);
        } else {
            heap_.assign(from, from + width);
        }
    }

    void restore() const
    {
        const std::size_t width = layout_.slotSize(field_);
        const std::byte* from = width <= inline_.size() ? inline_.data() : heap_.data();
        std::memcpy(buffer_ + layout_.slotOffset(field_), from, width);
        if (wasNull_) {
            layout_.setNull(buffer_, field_);
        }
    }

private:
    const RecordLayout& layout_;
    std::byte* buffer_;
    int field_;
    bool wasNull_;
    std::array<std::byte, 64> inline_{};
    std::vector<std::byte> heap_;
};

std::string dateText(double days)
{
    return text::formatDateTime("yyyy-mm-dd", days);
}

std::optional<double> parseDate(std::string_view text)
{
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digits += c;
        } else if (c != '-' && c != '/' && c != '.') {
            return std::nullopt;
        }
    }
    if (digits.size() != 8) {
        return std::nullopt;
    }
    return text::parseDateText(digits);
}

} // namespace

Field::Field(DataSet& dataSet, int index, const FieldDef& def)
    : dataSet_(dataSet), index_(index), name_(def.name), type_(def.type),
      size_(def.type == FieldType::String ? def.effectiveSize() : 0), displayLabel_(def.displayLabel),
      displayWidth_(def.displayWidth > 0 ? def.displayWidth : (def.type == FieldType::String ? size_ : 10)),
      visible_(def.visible), readOnly_(def.readOnly), required_(def.required)
{}

bool Field::isNumeric() const
{
    return type_ == FieldType::SmallInt || type_ == FieldType::Integer || type_ == FieldType::Float;
}

const std::byte* Field::buffer() const
{
    return dataSet_.readBuffer();
}

bool Field::isNull() const
{
    const std::byte* data = buffer();
    return data == nullptr || type_ == FieldType::DataSet || dataSet_.layout().isNull(data, index_);
}

std::string Field::asString() const
{
    const std::byte* data = buffer();
    if (data == nullptr || type_ == FieldType::DataSet || dataSet_.layout().isNull(data, index_)) {
        return {};
    }
    const RecordLayout& layout = dataSet_.layout();
    switch (type_) {
    case FieldType::String: return std::string(layout.string(data, index_));
    case FieldType::Date: return dateText(layout.number(data, index_));
    default: return layout.value(data, index_).toString();
    }
}

std::int64_t Field::asInteger() const
{
    if (isNull()) {
        return 0;
    }
    try {
        return value().toInteger();
    } catch (const ConversionError&) {
        conversionFailed(asString(), "integer");
    }
}

double Field::asFloat() const
{
    if (isNull()) {
        return 0.0;
    }
    try {
        return value().toFloat();
    } catch (const ConversionError&) {
        conversionFailed(asString(), "floating point");
    }
}

bool Field::asBoolean() const
{
    if (isNull()) {
        return false;
    }
    try {
        return value().toBoolean();
    } catch (const ConversionError&) {
        conversionFailed(asString(), "boolean");
    }
}

Variant Field::value() const
{
    const std::byte* data = buffer();
    if (data == nullptr) {
        return type_ == FieldType::DataSet ? Variant() : Variant::null();
    }
    return dataSet_.layout().value(data, index_);
}

template <typename Store>
void Field::write(Store store)
{
    std::byte* data = dataSet_.writableBuffer(*this);
    const RecordLayout& layout = dataSet_.layout();
    if (!onValidate) {
        store(layout, data);
    } else {
        const SavedSlot saved(layout, data, index_);
        store(layout, data);
        try {
            onValidate(*this);
        } catch (...) {
            saved.restore();
            throw;
        }
    }
    dataSet_.fieldChanged(*this);
}

void Field::setAsString(std::string_view value)
{
    switch (type_) {
    case FieldType::String:
        write([&](const RecordLayout& layout, std::byte* data) { layout.setString(data, index_, value); });
        return;
    case FieldType::SmallInt:
    case FieldType::Integer: {
        const auto parsed = text::tryParseInteger(value);
        if (!parsed) {
            conversionFailed(value, "integer");
        }
        setAsInteger(*parsed);
        return;
    }
    case FieldType::Float: {
        const auto parsed = text::tryParseFloat(value);
        if (!parsed) {
            conversionFailed(value, "floating point");
        }
        setAsFloat(*parsed);
        return;
    }
    case FieldType::Boolean: {
        const std::string trimmed = text::trim(value);
        if (text::equalsIgnoringAsciiCase(trimmed, "True") || text::equalsIgnoringAsciiCase(trimmed, "False")) {
            setAsBoolean(text::equalsIgnoringAsciiCase(trimmed, "True"));
            return;
        }
        conversionFailed(value, "boolean");
    }
    case FieldType::Date: {
        const auto parsed = parseDate(text::trim(value));
        if (!parsed) {
            conversionFailed(value, "date");
        }
        setAsFloat(*parsed);
        return;
    }
    case FieldType::DataSet: break;
    }
    throw DataSetError("Field '" + name_ + "' of dataset " + dataSet_.name() + " holds detail records, not a value");
}

void Field::setAsInteger(std::int64_t value)
{
    if (type_ == FieldType::SmallInt && (value < smallIntMin || value > smallIntMax)) {
        throw DataSetError(std::to_string(value) + " is not a valid value for field '" + name_ +
                           "'; the allowed range is -32768 to 32767");
    }
    if (type_ == FieldType::String || type_ == FieldType::Boolean || type_ == FieldType::DataSet) {
        setValue(Variant(static_cast<long long>(value)));
        return;
    }
    write([&](const RecordLayout& layout, std::byte* data) {
        if (type_ == FieldType::Float || type_ == FieldType::Date) {
            layout.setNumber(data, index_, static_cast<double>(value));
        } else {
            layout.setInteger(data, index_, value);
        }
    });
}

void Field::setAsFloat(double value)
{
    if (type_ == FieldType::Float || type_ == FieldType::Date) {
        write([&](const RecordLayout& layout, std::byte* data) { layout.setNumber(data, index_, value); });
        return;
    }
    if (type_ == FieldType::SmallInt || type_ == FieldType::Integer) {
        setAsInteger(Variant(value).toInteger());
        return;
    }
    setValue(Variant(value));
}

void Field::setAsBoolean(bool value)
{
    if (type_ == FieldType::Boolean) {
        write([&](const RecordLayout& layout, std::byte* data) { layout.setBoolean(data, index_, value); });
        return;
    }
    setValue(Variant(value));
}

void Field::setValue(const Variant& value)
{
    if (value.isUnassignedOrNull()) {
        clear();
        return;
    }
    if (type_ == FieldType::SmallInt && value.isNumeric()) {
        setAsInteger(value.toInteger());
        return;
    }
    if (value.isString() && type_ != FieldType::String) {
        setAsString(value.asString());
        return;
    }
    if (type_ == FieldType::DataSet) {
        setAsString(value.toString());
        return;
    }
    try {
        Variant converted = value;
        write([&](const RecordLayout& layout, std::byte* data) { layout.setValue(data, index_, converted); });
    } catch (const ConversionError& error) {
        throw ConversionError("Field '" + name_ + "': " + error.what());
    }
}

void Field::clear()
{
    write([&](const RecordLayout& layout, std::byte* data) { layout.setNull(data, index_); });
}

std::string Field::formattedText(const std::string& format) const
{
    if (type_ == FieldType::Float && !format.empty() && !isNull()) {
        return text::formatFloat(format, asFloat());
    }
    return asString();
}

std::string Field::displayText() const
{
    if (onGetText) {
        std::string result;
        onGetText(const_cast<Field&>(*this), result, true);
        return result;
    }
    return formattedText(displayFormat_);
}

std::string Field::editText() const
{
    if (onGetText) {
        std::string result;
        onGetText(const_cast<Field&>(*this), result, false);
        return result;
    }
    return formattedText(editFormat_);
}

void Field::setText(std::string_view text)
{
    if (onSetText) {
        onSetText(*this, text);
        return;
    }
    if (type_ != FieldType::String && text::trim(text).empty()) {
        clear();
        return;
    }
    setAsString(text);
}

void Field::conversionFailed(std::string_view text, std::string_view kind) const
{
    throw ConversionError("'" + std::string(text) + "' is not a valid " + std::string(kind) + " value for field '" +
                          name_ + "'");
}

} // namespace orvane
