#include "server/services/SalesArgs.h"

#include "platform/text/DateText.h"
#include "platform/variant/NumberText.h"
#include "server/schema/SchemaBuilder.h"
#include "server/services/NamedMethods.h"
#include "server/services/ServiceError.h"

#include <cmath>

namespace orvane {

namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

const char* typeName(const Variant& value)
{
    switch (value.type()) {
    case VariantType::Boolean: return "a boolean";
    case VariantType::Integer:
    case VariantType::Float: return "a number";
    case VariantType::String: return "a text";
    case VariantType::Array: return "an array";
    case VariantType::Dispatch: return "an object";
    default: return "empty";
    }
}

} // namespace

SalesArgs::SalesArgs(std::string_view method, const Variant& args, std::size_t minCount, std::size_t maxCount)
    : method_(method), values_(methodArgs(method, args, minCount, maxCount))
{}

void SalesArgs::fail(std::size_t index, std::string_view role, const std::string& problem) const
{
    throw ServiceError("Server method '" + method_ + "', element " + std::to_string(index) + " (" + std::string(role) +
                       "): " + problem);
}

std::string SalesArgs::text(std::size_t index, std::string_view role) const
{
    const Variant& value = values_.at(index);
    if (value.isUnassignedOrNull())
        return {};
    if (!value.isString())
        fail(index, role, std::string("expected a text, got ") + typeName(value));
    return value.asString();
}

std::string SalesArgs::code(std::size_t index, std::string_view role) const
{
    return trimmed(text(index, role));
}

std::string SalesArgs::requiredCode(std::size_t index, std::string_view role) const
{
    std::string value = code(index, role);
    if (value.empty())
        fail(index, role, "may not be empty");
    return value;
}

double SalesArgs::number(std::size_t index, std::string_view role) const
{
    const Variant& value = values_.at(index);
    if (value.isUnassignedOrNull())
        return 0;
    if (value.isNumeric()) {
        const double number = value.toFloat();
        if (!std::isfinite(number))
            fail(index, role, "not a finite number");
        return number;
    }
    if (!value.isString())
        fail(index, role, std::string("expected a number, got ") + typeName(value));
    const std::string text = trimmed(value.asString());
    if (text.empty())
        return 0;
    const auto number = text::tryParseFloat(text);
    if (!number || !std::isfinite(*number))
        fail(index, role, "'" + text + "' is not a number");
    return *number;
}

std::string SalesArgs::date(std::size_t index, std::string_view role) const
{
    const std::string text = code(index, role);
    if (text.empty())
        return todayText();
    if (text.size() != 8 || !text::parseDateText(text))
        fail(index, role, "'" + text + "' is not a date YYYYMMDD");
    return text;
}

std::string SalesArgs::yesNo(std::size_t index, std::string_view role) const
{
    std::string text = code(index, role);
    if (text != "Y" && text != "N")
        fail(index, role, "'" + text + "' is neither Y nor N");
    return text;
}

} // namespace orvane
