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

// Number of DataSet fields in a field list.
std::size_t nestedFieldCount(const std::vector<FieldDef>& fields);

} // namespace orvane::packet
