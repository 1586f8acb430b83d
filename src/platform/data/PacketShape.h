#pragma once
// Shape checks and field-list encoding shared by the packet, delta and apply-result
// codecs. Every check raises PacketError with the path of the faulty element.

#include "platform/data/FieldDef.h"
#include "platform/data/Record.h"
#include "platform/variant/Variant.h"

#include <span>
#include <string>
#include <vector>

namespace orvane::packet {

// The elements of `value`, which must be a one-dimensional array of at least `minimum`
// elements; `what` names it in the error text.
std::span<const Variant> elementsOf(const Variant& value, const std::string& what, std::size_t minimum = 0);
std::string textOf(const Variant& value, const std::string& what);
std::int64_t integerOf(const Variant& value, const std::string& what);
bool booleanOf(const Variant& value, const std::string& what);
// An update kind written as its number (unmodified 0 ... deleted 3).
UpdateStatus updateKindOf(const Variant& value, const std::string& what);

// Field metadata as [name, type name, size, required, nested fields].
Variant encodeFields(const std::vector<FieldDef>& fields);
std::vector<FieldDef> decodeFields(const Variant& value, const std::string& what);

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

// Number of DataSet fields in a field list.
std::size_t nestedFieldCount(const std::vector<FieldDef>& fields);

} // namespace orvane::packet
