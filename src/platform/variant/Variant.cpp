#include "platform/variant/Variant.h"

#include "platform/variant/Dispatch.h"
#include "platform/variant/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <strings.h>
#include <utility>

namespace orvane {
namespace {

ConversionError cannotConvert(VariantType from, std::string_view to)
{
    return ConversionError("Could not convert variant of type (" + std::string(typeName(from)) + ") into type (" +
                           std::string(to) + ")");
}

std::int64_t roundToInteger(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
        throw ConversionError("Float value " + text::floatToText(value) + " is out of the integer range");
    return std::llround(value);
}

} // namespace

std::string_view typeName(VariantType type)
{
    switch (type) {
    case VariantType::Unassigned: return "Unassigned";
    case VariantType::Null: return "Null";
    case VariantType::Boolean: return "Boolean";
    case VariantType::Integer: return "Integer";
    case VariantType::Float: return "Float";
    case VariantType::String: return "String";
    case VariantType::Array: return "Array";
    case VariantType::Dispatch: return "Dispatch";
    }
    return "Unknown";
}

// ---- ArrayBox ------------------------------------------------------------------

Variant::ArrayBox::ArrayBox(VariantArray array) : ptr_(std::make_unique<VariantArray>(std::move(array))) {}
Variant::ArrayBox::ArrayBox(const ArrayBox& other) : ptr_(std::make_unique<VariantArray>(*other.ptr_)) {}
Variant::ArrayBox& Variant::ArrayBox::operator=(const ArrayBox& other)
{
    if (this != &other)
        ptr_ = std::make_unique<VariantArray>(*other.ptr_);
    return *this;
}
Variant::ArrayBox::~ArrayBox() = default;

// ---- Variant -------------------------------------------------------------------

Variant::Variant(VariantArray array) : value_(ArrayBox(std::move(array))) {}

Variant::Variant(unsigned long long i)
{
    if (i > static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max()))
        throw ConversionError("Integer value " + std::to_string(i) + " is out of the integer range");
    value_ = static_cast<std::int64_t>(i);
}

Variant::Variant(unsigned long i) : Variant(static_cast<unsigned long long>(i)) {}
Variant::Variant(DispatchPtr object) noexcept
{
    if (object)
        value_ = std::move(object);
}
Variant::Variant(const Variant& other) = default;
Variant& Variant::operator=(const Variant& other) = default;
Variant::~Variant() = default;

Variant Variant::arrayOf(std::initializer_list<Variant> elements)
{
    return Variant(VariantArray(std::vector<Variant>(elements)));
}

Variant Variant::arrayOf(std::vector<Variant> elements)
{
    return Variant(VariantArray(std::move(elements)));
}

Variant Variant::createArray(int low, int high)
{
    return Variant(VariantArray(low, high));
}

Variant Variant::createArray(ArrayBounds first, ArrayBounds second)
{
    return Variant(VariantArray(first, second));
}

bool Variant::isEmpty() const
{
    switch (type()) {
    case VariantType::Unassigned:
    case VariantType::Null: return true;
    case VariantType::String: return asString().empty();
    case VariantType::Array: return array().empty();
    default: return false;
    }
}

std::string Variant::toString() const
{
    switch (type()) {
    case VariantType::Unassigned:
    case VariantType::Null: return {};
    case VariantType::Boolean: return asBoolean() ? "True" : "False";
    case VariantType::Integer: return std::to_string(asInteger());
    case VariantType::Float: return text::floatToText(asFloat());
    case VariantType::String: return asString();
    case VariantType::Array:
    case VariantType::Dispatch: break;
    }
    throw cannotConvert(type(), "String");
}

std::int64_t Variant::toInteger() const
{
    switch (type()) {
    case VariantType::Unassigned: return 0;
    case VariantType::Boolean: return asBoolean() ? -1 : 0;
    case VariantType::Integer: return asInteger();
    case VariantType::Float: return roundToInteger(asFloat());
    case VariantType::String:
        if (const auto value = text::tryParseInteger(asString()))
            return *value;
        if (const auto value = text::tryParseFloat(asString()))
            return roundToInteger(*value);
        throw ConversionError("'" + asString() + "' is not a valid integer value");
    default: break;
    }
    throw cannotConvert(type(), "Integer");
}

std::int64_t Variant::toIntegerOrZero() const noexcept
{
    try {
        return isNumeric() || isString() || isBoolean() ? toInteger() : 0;
    } catch (const ConversionError&) {
        return 0;
    }
}

double Variant::toFloat() const
{
    switch (type()) {
    case VariantType::Unassigned: return 0;
    case VariantType::Boolean: return asBoolean() ? -1 : 0;
    case VariantType::Integer: return static_cast<double>(asInteger());
    case VariantType::Float: return asFloat();
    case VariantType::String: return text::parseFloat(asString());
    default: break;
    }
    throw cannotConvert(type(), "Float");
}

bool Variant::toBoolean() const
{
    switch (type()) {
    case VariantType::Unassigned: return false;
    case VariantType::Boolean: return asBoolean();
    case VariantType::Integer: return asInteger() != 0;
    case VariantType::Float: return asFloat() != 0;
    case VariantType::String: {
        const std::string& s = asString();
        if (strcasecmp(s.c_str(), "true") == 0)
            return true;
        if (strcasecmp(s.c_str(), "false") == 0)
            return false;
        if (const auto value = text::tryParseFloat(s))
            return *value != 0;
        throw ConversionError("'" + s + "' is not a valid boolean value");
    }
    default: break;
    }
    throw cannotConvert(type(), "Boolean");
}

const VariantArray& Variant::array() const
{
    if (!isArray())
        throw cannotConvert(type(), "Array");
    return std::get<ArrayBox>(value_).get();
}

VariantArray& Variant::array()
{
    if (!isArray())
        throw cannotConvert(type(), "Array");
    return std::get<ArrayBox>(value_).get();
}

const DispatchPtr& Variant::dispatch() const
{
    if (!isDispatch())
        throw cannotConvert(type(), "Dispatch");
    return std::get<DispatchPtr>(value_);
}

int Variant::dimensions() const
{
    return isArray() ? array().dimensions() : 0;
}

int Variant::lowBound(int dimension) const
{
    return array().bounds(dimension).low;
}

int Variant::highBound(int dimension) const
{
    return array().bounds(dimension).high;
}

Variant& Variant::operator[](int index)
{
    return array().at(index);
}

const Variant& Variant::operator[](int index) const
{
    return array().at(index);
}

Variant& Variant::at(int index1, int index2)
{
    return array().at(index1, index2);
}

const Variant& Variant::at(int index1, int index2) const
{
    return array().at(index1, index2);
}

bool Variant::operator==(const Variant& other) const
{
    if (type() != other.type())
        return false;
    switch (type()) {
    case VariantType::Unassigned:
    case VariantType::Null: return true;
    case VariantType::Boolean: return asBoolean() == other.asBoolean();
    case VariantType::Integer: return asInteger() == other.asInteger();
    case VariantType::Float: return asFloat() == other.asFloat();
    case VariantType::String: return asString() == other.asString();
    case VariantType::Array: return array() == other.array();
    case VariantType::Dispatch: return dispatch() == other.dispatch();
    }
    return false;
}

// ---- VariantArray --------------------------------------------------------------

namespace {

ArrayBounds checkedBounds(ArrayBounds bounds)
{
    if (bounds.high < bounds.low - 1)
        throw VariantIndexError("Invalid array bounds " + std::to_string(bounds.low) + ".." +
                                std::to_string(bounds.high));
    return bounds;
}

std::size_t checkedCount(std::int64_t count)
{
    // Far above any array the system builds; stops a bad bound from exhausting memory.
    constexpr std::int64_t maxElements = std::int64_t{1} << 28;
    if (count > maxElements)
        throw VariantIndexError("Variant array of " + std::to_string(count) + " elements is too large");
    return static_cast<std::size_t>(count);
}

VariantIndexError outOfBounds(int index, ArrayBounds bounds)
{
    return VariantIndexError("Variant array index " + std::to_string(index) + " out of bounds " +
                             std::to_string(bounds.low) + ".." + std::to_string(bounds.high));
}

} // namespace

VariantArray::VariantArray(int low, int high)
    : bounds_{checkedBounds({low, high})}, elements_(checkedCount(bounds_[0].count()))
{}

VariantArray::VariantArray(ArrayBounds first, ArrayBounds second)
    : bounds_{checkedBounds(first), checkedBounds(second)},
      elements_(checkedCount(std::int64_t{first.count()} * second.count()))
{}

VariantArray::VariantArray(std::vector<Variant> elements)
    : bounds_{ArrayBounds{0, static_cast<int>(elements.size()) - 1}}, elements_(std::move(elements))
{}

VariantArray::VariantArray(ArrayBounds bounds, std::vector<Variant> elements)
    : bounds_{checkedBounds(bounds)}, elements_(std::move(elements))
{
    if (elements_.size() != static_cast<std::size_t>(bounds.count()))
        throw VariantIndexError("Variant array bounds " + std::to_string(bounds.low) + ".." +
                                std::to_string(bounds.high) + " do not fit " + std::to_string(elements_.size()) +
                                " elements");
}

VariantArray::VariantArray(ArrayBounds first, ArrayBounds second, std::vector<Variant> elements)
    : bounds_{checkedBounds(first), checkedBounds(second)}, elements_(std::move(elements))
{
    if (elements_.size() != static_cast<std::size_t>(first.count()) * static_cast<std::size_t>(second.count()))
        throw VariantIndexError("Variant array of " + std::to_string(first.count()) + " x " +
                                std::to_string(second.count()) + " elements cannot hold " +
                                std::to_string(elements_.size()));
}

std::vector<Variant> VariantArray::takeElements()
{
    bounds_ = {ArrayBounds{}};
    return std::exchange(elements_, {});
}

ArrayBounds VariantArray::bounds(int dimension) const
{
    if (dimension < 1 || dimension > dimensions())
        throw VariantIndexError("Variant array has no dimension " + std::to_string(dimension) + " (it has " +
                                std::to_string(dimensions()) + ")");
    return bounds_[dimension - 1];
}

std::size_t VariantArray::offset(int index) const
{
    if (dimensions() != 1)
        throw VariantIndexError("Two-dimensional variant array indexed with one index");
    const ArrayBounds b = bounds_[0];
    if (index < b.low || index > b.high)
        throw outOfBounds(index, b);
    return static_cast<std::size_t>(index - b.low);
}

std::size_t VariantArray::offset(int index1, int index2) const
{
    if (dimensions() != 2)
        throw VariantIndexError("One-dimensional variant array indexed with two indexes");
    const ArrayBounds b1 = bounds_[0];
    const ArrayBounds b2 = bounds_[1];
    if (index1 < b1.low || index1 > b1.high)
        throw outOfBounds(index1, b1);
    if (index2 < b2.low || index2 > b2.high)
        throw outOfBounds(index2, b2);
    return static_cast<std::size_t>(index1 - b1.low) * static_cast<std::size_t>(b2.count()) +
           static_cast<std::size_t>(index2 - b2.low);
}

Variant& VariantArray::at(int index)
{
    return elements_[offset(index)];
}

const Variant& VariantArray::at(int index) const
{
    return elements_[offset(index)];
}

Variant& VariantArray::at(int index1, int index2)
{
    return elements_[offset(index1, index2)];
}

const Variant& VariantArray::at(int index1, int index2) const
{
    return elements_[offset(index1, index2)];
}

void VariantArray::redim(int high)
{
    ArrayBounds& last = bounds_.back();
    checkedBounds({last.low, high});
    if (dimensions() == 1) {
        elements_.resize(checkedCount(high - last.low + 1));
        last.high = high;
        return;
    }
    // Two dimensions: rows of the first dimension keep their leading elements.
    const ArrayBounds first = bounds_[0];
    const ArrayBounds newLast{last.low, high};
    std::vector<Variant> resized(checkedCount(std::int64_t{first.count()} * newLast.count()));
    const int keep = std::min(last.count(), newLast.count());
    for (int row = 0; row < first.count(); ++row)
        for (int col = 0; col < keep; ++col)
            resized[static_cast<std::size_t>(row) * newLast.count() + col] =
                std::move(elements_[static_cast<std::size_t>(row) * last.count() + col]);
    elements_ = std::move(resized);
    last = newLast;
}

} // namespace orvane
