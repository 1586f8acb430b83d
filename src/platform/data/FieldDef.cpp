#include "platform/data/FieldDef.h"

#include <array>
#include <utility>

namespace orvane {

namespace {

constexpr std::array<std::pair<FieldType, std::string_view>, 7> typeNames{{
    {FieldType::String, "String"},
    {FieldType::SmallInt, "SmallInt"},
    {FieldType::Integer, "Integer"},
    {FieldType::Float, "Float"},
    {FieldType::Boolean, "Boolean"},
    {FieldType::Date, "Date"},
    {FieldType::DataSet, "DataSet"},
}};

constexpr int defaultStringSize = 20;

} // namespace

std::string_view fieldTypeName(FieldType type)
{
    for (const auto& [t, name] : typeNames) {
        if (t == type) {
            return name;
        }
    }
    return "Unknown";
}

std::optional<FieldType> fieldTypeFromName(std::string_view name)
{
    for (const auto& [t, n] : typeNames) {
        if (n == name) {
            return t;
        }
    }
    return std::nullopt;
}

int FieldDef::effectiveSize() const
{
    return size > 0 ? size : defaultStringSize;
}

FieldDef FieldDef::string(std::string name, int size)
{
    FieldDef def;
    def.name = std::move(name);
    def.type = FieldType::String;
    def.size = size;
    return def;
}

FieldDef FieldDef::of(std::string name, FieldType type)
{
    FieldDef def;
    def.name = std::move(name);
    def.type = type;
    return def;
}

FieldDef FieldDef::dataSet(std::string name, std::vector<FieldDef> nested)
{
    FieldDef def;
    def.name = std::move(name);
    def.type = FieldType::DataSet;
    def.visible = false;
    def.nested = std::move(nested);
    return def;
}

} // namespace orvane
