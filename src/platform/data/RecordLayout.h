#pragma once
// Where each field of a record lives in its byte buffer. A record is one flat buffer: a
// null bitmap, then one fixed slot per field (strings keep a 16-bit byte count and room
// for `size` bytes; numbers take 8 bytes; booleans 1). Nested-dataset fields take no
// bytes: their detail records hang off the Record. One allocation per record, no
// allocation per field write.

#include "platform/data/FieldDef.h"
#include "platform/variant/Variant.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace orvane {

using RecordBuffer = std::vector<std::byte>;

class RecordLayout {
public:
    // Raises DataSetError for a string size beyond 65535 bytes.
    explicit RecordLayout(std::span<const FieldDef> fields);

    int fieldCount() const { return static_cast<int>(slots_.size()); }
    FieldType type(int field) const { return slots_[field].type; }
    // String capacity in bytes (0 for other types).
    int stringSize(int field) const { return slots_[field].stringSize; }
    // Ordinal of a nested-dataset field among the nested fields, -1 for other fields.
    int nestedOrdinal(int field) const { return slots_[field].nestedOrdinal; }
    int nestedCount() const { return nestedCount_; }

    // A buffer with every field null.
    RecordBuffer newBuffer() const;

    bool isNull(const std::byte* buffer, int field) const;
    void setNull(std::byte* buffer, int field) const;

    // Raw typed access; the caller knows the field's type and that it is not null.
    std::string_view string(const std::byte* buffer, int field) const;
    std::int64_t integer(const std::byte* buffer, int field) const;
    double number(const std::byte* buffer, int field) const;
    bool boolean(const std::byte* buffer, int field) const;

    // Typed writes; they clear the null bit. Strings are cut at the field size (bytes).
    void setString(std::byte* buffer, int field, std::string_view text) const;
    void setInteger(std::byte* buffer, int field, std::int64_t value) const;
    void setNumber(std::byte* buffer, int field, double value) const;
    void setBoolean(std::byte* buffer, int field, bool value) const;

    // The value as a variant: Null when null, Unassigned for nested fields.
    Variant value(const std::byte* buffer, int field) const;
    // Stores a variant converted to the field's type; Unassigned and Null clear the
    // field. Raises ConversionError when the value does not convert.
    void setValue(std::byte* buffer, int field, const Variant& value) const;

    // Same null state and same value.
    bool equal(const std::byte* a, const std::byte* b, int field) const;
    // Ordering of one field: nulls first, strings by bytes, numbers by value.
    int compare(const std::byte* a, const std::byte* b, int field) const;

    // Bytes of a slot, for saving and restoring a value around a check.
    std::size_t slotSize(int field) const { return slots_[field].width; }
    std::size_t slotOffset(int field) const { return slots_[field].offset; }

private:
    struct Slot {
        FieldType type;
        std::size_t offset;
        std::size_t width;
        int stringSize;
        int nestedOrdinal;
    };

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
    int nestedCount_ = 0;
};

} // namespace orvane
