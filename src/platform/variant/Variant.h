#pragma once
// Automation variants: the one value type that crosses every boundary of the client
// (host object, server calls, dataset fields as values, start parameters).
//
// A Variant is a value: copying a variant that holds an array copies the array, as
// automation variants do. Dispatch objects are shared and reference counted; releasing
// the variant (assigning another value, or destroying it) drops its reference.
// Strings are byte strings in the installation's code page; the variant never
// transcodes.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace orvane {

class Dispatch;
class VariantArray;
using DispatchPtr = std::shared_ptr<Dispatch>;

enum class VariantType { Unassigned, Null, Boolean, Integer, Float, String, Array, Dispatch };

// Name of a variant type as shown in error texts ("String", "Null", ...).
std::string_view typeName(VariantType type);

// A value that cannot be converted to the type asked for: text that is not a
// number or a date, an array asked for as a number, and the like.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An array index or dimension outside the array's bounds, or an array shape that
// cannot be built (more than two dimensions, high bound below low bound - 1).
class VariantIndexError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// Inclusive bounds of one array dimension; an empty dimension has high == low - 1.
struct ArrayBounds {
    int low = 0;
    int high = -1;
    int count() const { return high - low + 1; }
    bool operator==(const ArrayBounds&) const = default;
};

class Variant {
public:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };

    Variant() noexcept = default; // Unassigned
    Variant(NullTag) noexcept : value_(NullTag{}) {}
    Variant(bool b) noexcept : value_(b) {}
    Variant(int i) noexcept : value_(std::int64_t{i}) {}
    Variant(long i) noexcept : value_(std::int64_t{i}) {}
    Variant(long long i) noexcept : value_(std::int64_t{i}) {}
    Variant(unsigned i) noexcept : value_(std::int64_t{i}) {}
    // Sizes and counts; a value beyond the 64-bit signed range raises ConversionError.
    Variant(unsigned long i);
    Variant(unsigned long long i);
    Variant(double d) noexcept : value_(d) {}
    Variant(std::string s) noexcept : value_(std::move(s)) {}
    Variant(std::string_view s) : value_(std::string(s)) {}
    Variant(const char* s) : value_(std::string(s)) {}
    Variant(VariantArray array);
    Variant(DispatchPtr object) noexcept;

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept = default;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept = default;
    ~Variant();

    static Variant null() { return Variant(NullTag{}); }
    // One-dimensional array with bounds 0..n-1 holding the given elements.
    static Variant arrayOf(std::initializer_list<Variant> elements);
    static Variant arrayOf(std::vector<Variant> elements);
    // Empty-element arrays with the given bounds (one or two dimensions).
    static Variant createArray(int low, int high);
    static Variant createArray(ArrayBounds first, ArrayBounds second);

    VariantType type() const { return static_cast<VariantType>(value_.index()); }
    bool isUnassigned() const { return type() == VariantType::Unassigned; }
    bool isNull() const { return type() == VariantType::Null; }
    bool isUnassignedOrNull() const { return isUnassigned() || isNull(); }
    bool isBoolean() const { return type() == VariantType::Boolean; }
    bool isInteger() const { return type() == VariantType::Integer; }
    bool isFloat() const { return type() == VariantType::Float; }
    bool isNumeric() const { return isInteger() || isFloat(); }
    bool isString() const { return type() == VariantType::String; }
    bool isArray() const { return type() == VariantType::Array; }
    bool isDispatch() const { return type() == VariantType::Dispatch; }
    // True for Unassigned, Null, an empty string and an array without elements:
    // the "empty" the callers test before using a value.
    bool isEmpty() const;

    // Text of the value: "" for Unassigned and Null, "True"/"False" for booleans,
    // decimal digits for integers, 15 significant digits (general format) for
    // floats. Arrays and dispatch objects raise ConversionError.
    std::string toString() const;
    // Integer value; floats are rounded to the nearest integer (halves away from
    // zero), text must be an integer or a number. Unassigned is 0; Null, arrays,
    // dispatch objects and bad text raise ConversionError.
    std::int64_t toInteger() const;
    // The integer value, or 0 when the value is not a number or numeric text.
    std::int64_t toIntegerOrZero() const noexcept;
    // Float value; text must be a number. Unassigned is 0; Null, arrays,
    // dispatch objects and bad text raise ConversionError.
    double toFloat() const;
    // Booleans as they are; numbers are true when not zero; text "True"/"False"
    // (any case) or a number. Unassigned is false; anything else raises.
    bool toBoolean() const;

    // The held array; raises ConversionError when the value is not an array.
    const VariantArray& array() const;
    VariantArray& array();
    // The held dispatch object; raises ConversionError when there is none.
    const DispatchPtr& dispatch() const;

    // Array shortcuts: number of dimensions (0 for a non-array), bounds of a
    // dimension counted from 1, and element access (bounds checked).
    int dimensions() const;
    int lowBound(int dimension = 1) const;
    int highBound(int dimension = 1) const;
    Variant& operator[](int index);
    const Variant& operator[](int index) const;
    Variant& at(int index1, int index2);
    const Variant& at(int index1, int index2) const;

    // Raw access for code that switches on the type.
    bool asBoolean() const { return std::get<bool>(value_); }
    std::int64_t asInteger() const { return std::get<std::int64_t>(value_); }
    double asFloat() const { return std::get<double>(value_); }
    const std::string& asString() const { return std::get<std::string>(value_); }

    // Same type and same value (arrays element by element; dispatch objects by identity).
    bool operator==(const Variant& other) const;

private:
    // Owns an array and deep-copies it on copy, so that variant copies are values.
    class ArrayBox {
    public:
        explicit ArrayBox(VariantArray array);
        ArrayBox(const ArrayBox& other);
        ArrayBox(ArrayBox&&) noexcept = default;
        ArrayBox& operator=(const ArrayBox& other);
        ArrayBox& operator=(ArrayBox&&) noexcept = default;
        ~ArrayBox();
        VariantArray& get() { return *ptr_; }
        const VariantArray& get() const { return *ptr_; }

    private:
        std::unique_ptr<VariantArray> ptr_;
    };

    // Index order matches VariantType.
    std::variant<std::monostate, NullTag, bool, std::int64_t, double, std::string, ArrayBox, DispatchPtr> value_;
};

// An array of variants with one or two dimensions and arbitrary lower bounds.
// Elements are stored in index order with the last index varying fastest.
class VariantArray {
public:
    VariantArray() = default; // one empty dimension 0..-1
    VariantArray(int low, int high);
    VariantArray(ArrayBounds first, ArrayBounds second);
    explicit VariantArray(std::vector<Variant> elements); // bounds 0..n-1
    // Arrays with the given bounds holding `elements` in index order (the last index
    // varying fastest); raises VariantIndexError when the count does not match.
    VariantArray(ArrayBounds bounds, std::vector<Variant> elements);
    VariantArray(ArrayBounds first, ArrayBounds second, std::vector<Variant> elements);

    int dimensions() const { return static_cast<int>(bounds_.size()); }
    // Bounds of a dimension counted from 1; raises VariantIndexError for another dimension.
    ArrayBounds bounds(int dimension = 1) const;
    std::size_t size() const { return elements_.size(); }
    bool empty() const { return elements_.empty(); }

    Variant& at(int index);
    const Variant& at(int index) const;
    Variant& at(int index1, int index2);
    const Variant& at(int index1, int index2) const;

    // Changes the high bound of the last dimension, keeping the elements that stay in range.
    void redim(int high);

    std::span<Variant> elements() { return elements_; }
    // Moves the elements out, leaving an empty one-dimensional array 0..-1.
    std::vector<Variant> takeElements();
    std::span<const Variant> elements() const { return elements_; }

    bool operator==(const VariantArray& other) const = default;

private:
    std::size_t offset(int index) const;
    std::size_t offset(int index1, int index2) const;

    std::vector<ArrayBounds> bounds_{ArrayBounds{}};
    std::vector<Variant> elements_;
};

// A one-dimensional array of the elements, moved in: an initializer list would copy each one,
// and with an array every row below it.
template <typename... Elements>
Variant arrayOfMoved(Elements&&... elements)
{
    std::vector<Variant> array;
    array.reserve(sizeof...(elements));
    (array.emplace_back(std::forward<Elements>(elements)), ...);
    return Variant::arrayOf(std::move(array));
}

} // namespace orvane
