#include "platform/lookup/LookupElements.h"

#include "platform/lookup/LookupShapeError.h"

namespace orvane {

namespace {

std::string sizesText(std::initializer_list<std::size_t> sizes)
{
    std::string text;
    for (const std::size_t size : sizes)
        text += (text.empty() ? "" : " or ") + std::to_string(size);
    return text;
}

std::string shapeOf(const Variant& value)
{
    if (!value.isArray())
        return std::string(typeName(value.type()));
    if (value.dimensions() != 1)
        return "a two-dimensional array";
    return std::to_string(value.array().size()) + " elements";
}

} // namespace

LookupElements::LookupElements(const Variant& array, std::string_view what, std::initializer_list<std::size_t> sizes)
    : array_(array), what_(what)
{
    if (array.isArray() && array.dimensions() == 1) {
        size_ = array.array().size();
        for (const std::size_t allowed : sizes)
            if (size_ == allowed)
                return;
    }
    throw LookupShapeError(what_ + ": an array of " + sizesText(sizes) + " elements expected, not " + shapeOf(array));
}

const Variant& LookupElements::value(std::size_t i) const
{
    return array_.array().elements()[i];
}

const Variant& LookupElements::typed(std::size_t i, std::string_view name, VariantType type) const
{
    const Variant& element = value(i);
    if (element.type() != type)
        refuse(i, name, "is " + std::string(typeName(element.type())) + ", not " + std::string(typeName(type)));
    return element;
}

const std::string& LookupElements::text(std::size_t i, std::string_view name) const
{
    return typed(i, name, VariantType::String).asString();
}

bool LookupElements::flag(std::size_t i, std::string_view name) const
{
    return typed(i, name, VariantType::Boolean).asBoolean();
}

std::int64_t LookupElements::integer(std::size_t i, std::string_view name) const
{
    return typed(i, name, VariantType::Integer).asInteger();
}

const Variant& LookupElements::list(std::size_t i, std::string_view name) const
{
    const Variant& element = typed(i, name, VariantType::Array);
    if (element.dimensions() != 1)
        refuse(i, name, "is a two-dimensional array, not a list");
    return element;
}

void LookupElements::refuse(std::size_t i, std::string_view name, const std::string& problem) const
{
    throw LookupShapeError(what_ + " element " + std::to_string(i) + " (" + std::string(name) + ") " + problem);
}

} // namespace orvane
