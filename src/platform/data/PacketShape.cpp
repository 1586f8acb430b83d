#include "platform/data/PacketShape.h"

#include "platform/data/DataSetError.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace orvane::packet {

namespace {

constexpr int maxNesting = 16;

[[noreturn]] void shapeError(const std::string& what, const std::string& fault)
{
    throw PacketError(what + ": " + fault);
}

std::vector<FieldDef> decodeFieldsAt(const Variant& value, const std::string& what, int depth)
{
    if (depth > maxNesting) {
        shapeError(what, "nested more than " + std::to_string(maxNesting) + " levels deep");
    }
    std::vector<FieldDef> fields;
    const auto elements = elementsOf(value, what);
    fields.reserve(elements.size());
    // A set, not a scan of the fields so far: a packet of many fields must not cost their square.
    // The views point into `fields`, which the reserve above keeps in place.
    std::unordered_set<std::string_view> names;
    names.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::string at = what + " field " + std::to_string(i + 1);
        const auto parts = elementsOf(elements[i], at, 5);
        FieldDef def;
        def.name = textOf(parts[0], at + " name");
        if (def.name.empty()) {
            shapeError(at, "the name is empty");
        }
        const std::string typeText = textOf(parts[1], at + " type");
        const auto type = fieldTypeFromName(typeText);
        if (!type) {
            shapeError(at, "unknown field type '" + typeText + "'");
        }
        def.type = *type;
        const std::int64_t size = integerOf(parts[2], at + " size");
        if (size < 0 || size > 65535) {
            shapeError(at, "size " + std::to_string(size) + " is outside 0..65535");
        }
        def.size = static_cast<int>(size);
        def.required = booleanOf(parts[3], at + " required flag");
        def.nested = decodeFieldsAt(parts[4], at + " nested fields", depth + 1);
        if (!def.nested.empty() && def.type != FieldType::DataSet) {
            shapeError(at, "only a DataSet field may have nested fields");
        }
        if (names.contains(def.name)) {
            shapeError(at, "field '" + def.name + "' appears twice");
        }
        fields.push_back(std::move(def));
        names.insert(fields.back().name);
    }
    return fields;
}

} // namespace

std::span<const Variant> elementsOf(const Variant& value, const std::string& what, std::size_t minimum)
{
    if (!value.isArray()) {
        shapeError(what, std::string("expected an array, found ") + std::string(typeName(value.type())));
    }
    const VariantArray& array = value.array();
    if (array.dimensions() != 1) {
        shapeError(what, "expected a one-dimensional array");
    }
    if (array.size() < minimum) {
        shapeError(what,
                   "expected at least " + std::to_string(minimum) + " elements, found " + std::to_string(array.size()));
    }
    return array.elements();
}

std::string textOf(const Variant& value, const std::string& what)
{
    if (!value.isString()) {
        shapeError(what, std::string("expected text, found ") + std::string(typeName(value.type())));
    }
    return value.asString();
}

std::int64_t integerOf(const Variant& value, const std::string& what)
{
    if (!value.isInteger()) {
        shapeError(what, std::string("expected an integer, found ") + std::string(typeName(value.type())));
    }
    return value.asInteger();
}

UpdateStatus updateKindOf(const Variant& value, const std::string& what)
{
    const std::int64_t kind = integerOf(value, what);
    if (kind < 0 || kind > 3) {
        shapeError(what, "unknown update kind " + std::to_string(kind));
    }
    return static_cast<UpdateStatus>(kind);
}

bool booleanOf(const Variant& value, const std::string& what)
{
    if (!value.isBoolean()) {
        shapeError(what, std::string("expected a boolean, found ") + std::string(typeName(value.type())));
    }
    return value.asBoolean();
}

Variant encodeFields(const std::vector<FieldDef>& fields)
{
    std::vector<Variant> encoded;
    encoded.reserve(fields.size());
    for (const FieldDef& def : fields) {
        encoded.push_back(arrayOfMoved(Variant(def.name), Variant(std::string(fieldTypeName(def.type))),
                                       Variant(def.size), Variant(def.required), encodeFields(def.nested)));
    }
    return Variant::arrayOf(std::move(encoded));
}

std::vector<FieldDef> decodeFields(const Variant& value, const std::string& what)
{
    return decodeFieldsAt(value, what, 0);
}

std::size_t nestedFieldCount(const std::vector<FieldDef>& fields)
{
    return static_cast<std::size_t>(
        std::count_if(fields.begin(), fields.end(), [](const FieldDef& f) { return f.isNested(); }));
}

} // namespace orvane::packet
