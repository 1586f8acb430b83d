#pragma once
// Reads the elements of a one-dimensional variant array by position for the lookup decoders;
// every failure raises LookupShapeError naming the array, the element and what is wrong.

#include "platform/variant/Variant.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace orvane {

class LookupElements {
public:
    // what names the array in errors ("Lookup request"); sizes are the element counts allowed.
    // The array must outlive the reader.
    LookupElements(const Variant& array, std::string_view what, std::initializer_list<std::size_t> sizes);

    std::size_t size() const { return size_; }
    // Element i (counted from the low bound) as it is.
    const Variant& value(std::size_t i) const;
    // Element i, which must be of the type asked for; name says what it holds.
    const std::string& text(std::size_t i, std::string_view name) const;
    bool flag(std::size_t i, std::string_view name) const;
    std::int64_t integer(std::size_t i, std::string_view name) const;
    // A one-dimensional array.
    const Variant& list(std::size_t i, std::string_view name) const;

    // Refuses element i for a reason its type does not show (a number out of range).
    [[noreturn]] void refuse(std::size_t i, std::string_view name, const std::string& problem) const;

private:
    const Variant& typed(std::size_t i, std::string_view name, VariantType type) const;

    const Variant& array_;
    std::string what_;
    std::size_t size_ = 0;
};

} // namespace orvane
