#include "platform/data/RecordLayout.h"

#include "platform/data/DataSetError.h"
#include "platform/text/ByteText.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace orvane {

namespace {

constexpr int maxStringSize = 65535;

template <typename T>
T load(const std::byte* at)
{
    T value;
    std::memcpy(&value, at, sizeof(T));
    return value;
}

template <typename T>
void store(std::byte* at, T value)
{
    std::memcpy(at, &value, sizeof(T));
}

template <typename T>
int threeWay(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

RecordLayout::RecordLayout(std::span<const FieldDef> fields)
{
    const std::size_t bitmapBytes = (fields.size() + 7) / 8;
    std::size_t offset = bitmapBytes;
    slots_.reserve(fields.size());
    for (const FieldDef& def : fields) {
        Slot slot{def.type, offset, 0, 0, -1};
        switch (def.type) {
        case FieldType::String:
            slot.stringSize = def.effectiveSize();
            if (slot.stringSize > maxStringSize) {
                throw DataSetError("Field '" + def.name + "' has size " + std::to_string(def.size) +
                                   ", more than the largest string size " + std::to_string(maxStringSize));
            }
            slot.width = sizeof(std::uint16_t) + static_cast<std::size_t>(slot.stringSize);
            break;
        case FieldType::Boolean: slot.width = 1; break;
        case FieldType::DataSet: slot.nestedOrdinal = nestedCount_++; break;
        default: slot.width = 8; break;
        }
        offset += slot.width;
        slots_.push_back(slot);
    }
    size_ = offset;
}

RecordBuffer RecordLayout::newBuffer() const
{
    RecordBuffer buffer(size_);
    const std::size_t bitmapBytes = (slots_.size() + 7) / 8;
    std::fill_n(buffer.begin(), bitmapBytes, std::byte{0xFF});
    return buffer;
}

bool RecordLayout::isNull(const std::byte* buffer, int field) const
{
    return (std::to_integer<unsigned>(buffer[field / 8]) >> (field % 8)) & 1U;
}

void RecordLayout::setNull(std::byte* buffer, int field) const
{
    buffer[field / 8] |= std::byte(1U << (field % 8));
}

std::string_view RecordLayout::string(const std::byte* buffer, int field) const
{
    const std::byte* at = buffer + slots_[field].offset;
    const auto length = load<std::uint16_t>(at);
    return {reinterpret_cast<const char*>(at + sizeof(std::uint16_t)), length};
}

std::int64_t RecordLayout::integer(const std::byte* buffer, int field) const
{
    return load<std::int64_t>(buffer + slots_[field].offset);
}

double RecordLayout::number(const std::byte* buffer, int field) const
{
    return load<double>(buffer + slots_[field].offset);
}

bool RecordLayout::boolean(const std::byte* buffer, int field) const
{
    return buffer[slots_[field].offset] != std::byte{0};
}

namespace {

void clearNullBit(std::byte* buffer, int field)
{
    buffer[field / 8] &= ~std::byte(1U << (field % 8));
}

} // namespace

void RecordLayout::setString(std::byte* buffer, int field, std::string_view text) const
{
    // A longer text is cut on a whole character: the half of a double-byte one would be stored
    // as a stray lead byte, which reads back as "?".
    std::string whole;
    if (text.size() > static_cast<std::size_t>(slots_[field].stringSize)) {
        whole = text::cutToBytes(text, static_cast<std::size_t>(slots_[field].stringSize));
        text = whole;
    }
    std::byte* at = buffer + slots_[field].offset;
    store(at, static_cast<std::uint16_t>(text.size()));
    std::memcpy(at + sizeof(std::uint16_t), text.data(), text.size());
    clearNullBit(buffer, field);
}

void RecordLayout::setInteger(std::byte* buffer, int field, std::int64_t value) const
{
    store(buffer + slots_[field].offset, value);
    clearNullBit(buffer, field);
}

void RecordLayout::setNumber(std::byte* buffer, int field, double value) const
{
    store(buffer + slots_[field].offset, value);
    clearNullBit(buffer, field);
}

void RecordLayout::setBoolean(std::byte* buffer, int field, bool value) const
{
    buffer[slots_[field].offset] = value ? std::byte{1} : std::byte{0};
    clearNullBit(buffer, field);
}

Variant RecordLayout::value(const std::byte* buffer, int field) const
{
    const FieldType fieldType = slots_[field].type;
    if (fieldType == FieldType::DataSet) {
        return Variant();
    }
    if (isNull(buffer, field)) {
        return Variant::null();
    }
    switch (fieldType) {
    case FieldType::String: return Variant(string(buffer, field));
    case FieldType::SmallInt:
    case FieldType::Integer: return Variant(static_cast<long long>(integer(buffer, field)));
    case FieldType::Boolean: return Variant(boolean(buffer, field));
    default: return Variant(number(buffer, field));
    }
}

void RecordLayout::setValue(std::byte* buffer, int field, const Variant& value) const
{
    const FieldType fieldType = slots_[field].type;
    if (fieldType == FieldType::DataSet) {
        return;
    }
    if (value.isUnassignedOrNull()) {
        setNull(buffer, field);
        return;
    }
    switch (fieldType) {
    case FieldType::String:
        if (value.isString()) {
            setString(buffer, field, value.asString());
        } else {
            setString(buffer, field, value.toString());
        }
        break;
    case FieldType::SmallInt:
    case FieldType::Integer: setInteger(buffer, field, value.toInteger()); break;
    case FieldType::Boolean: setBoolean(buffer, field, value.toBoolean()); break;
    default: setNumber(buffer, field, value.toFloat()); break;
    }
}

bool RecordLayout::equal(const std::byte* a, const std::byte* b, int field) const
{
    const bool nullA = isNull(a, field);
    if (nullA != isNull(b, field)) {
        return false;
    }
    if (nullA || slots_[field].type == FieldType::DataSet) {
        return true;
    }
    return compare(a, b, field) == 0;
}

int RecordLayout::compare(const std::byte* a, const std::byte* b, int field) const
{
    const FieldType fieldType = slots_[field].type;
    if (fieldType == FieldType::DataSet) {
        return 0;
    }
    const bool nullA = isNull(a, field);
    const bool nullB = isNull(b, field);
    if (nullA || nullB) {
        return threeWay(!nullA, !nullB);
    }
    switch (fieldType) {
    case FieldType::String: {
        const int c = string(a, field).compare(string(b, field));
        return threeWay(c, 0);
    }
    case FieldType::SmallInt:
    case FieldType::Integer: return threeWay(integer(a, field), integer(b, field));
    case FieldType::Boolean: return threeWay(boolean(a, field), boolean(b, field));
    default: return threeWay(number(a, field), number(b, field));
    }
}

} // namespace orvane
