#include "framework/KnlBase.h"

#include "platform/text/ByteText.h"
#include "platform/text/FieldTextRules.h"

#include <algorithm>
#include <stdexcept>

namespace orvane {

namespace {

// Longest decimal tail a format can take: the point and 21 places.
constexpr std::string_view decimalTail = ".#####################";

std::string withDecimals(std::string_view defaultFormat, int decimals)
{
    if (decimals < 0)
        return std::string(defaultFormat);
    const std::string_view integerPart = defaultFormat.substr(0, defaultFormat.find('.'));
    const auto tail = std::min<std::size_t>(static_cast<std::size_t>(decimals) + 1, decimalTail.size());
    return std::string(integerPart) + std::string(decimalTail.substr(0, tail));
}

} // namespace

std::vector<FieldListItem> parseFieldList(std::string_view text)
{
    std::vector<FieldListItem> items;
    for (const std::string& item : text::splitList(text, ';', text::ListItems::TrimmedNonEmpty)) {
        const std::size_t colon = item.find(':');
        if (colon == std::string::npos) {
            items.push_back({std::string(), text::splitList(item, ',', text::ListItems::Trimmed)});
            continue;
        }
        items.push_back({text::trim(std::string_view(item).substr(0, colon)),
                         text::splitList(std::string_view(item).substr(colon + 1), ',', text::ListItems::Trimmed)});
    }
    return items;
}

bool fieldListHas(std::string_view text, std::string_view dataSet, std::string_view field)
{
    for (const FieldListItem& item : parseFieldList(text)) {
        if (!text::equalsIgnoringCase(item.dataSet, dataSet))
            continue;
        if (std::ranges::any_of(item.fields,
                                [&](const std::string& name) { return text::equalsIgnoringCase(name, field); }))
            return true;
    }
    return false;
}

std::string numberDisplayFormat(int decimals)
{
    return withDecimals(text::numberDisplayFormat, decimals);
}

std::string numberEditFormat(int decimals)
{
    return withDecimals(text::numberEditFormat, decimals);
}

NumberGroups::NumberGroups() = default;

std::size_t NumberGroups::checked(int group, const char* property)
{
    if (group < 0 || group >= count)
        throw std::out_of_range(std::string("Variant array index out of bounds -- ") + property);
    return static_cast<std::size_t>(group);
}

const std::string& NumberGroups::fields(int group) const
{
    return fields_[checked(group, "FNumberFields")];
}

void NumberGroups::setFields(int group, std::string text)
{
    const std::size_t at = checked(group, "FNumberFields");
    parsed_[at] = parseFieldList(text);
    fields_[at] = std::move(text);
    answers_.clear();
}

int NumberGroups::length(int group) const
{
    return lengths_[checked(group, "FNumberLength")];
}

void NumberGroups::setLength(int group, int decimals)
{
    lengths_[checked(group, "FNumberLength")] = decimals;
}

int NumberGroups::firstGroupNaming(std::string_view dataSet, std::string_view field, bool anyDataSet) const
{
    for (int group = 0; group < count; ++group) {
        for (const FieldListItem& item : parsed_[static_cast<std::size_t>(group)]) {
            if (!anyDataSet && !text::equalsIgnoringCase(item.dataSet, dataSet))
                continue;
            if (std::ranges::any_of(item.fields,
                                    [&](const std::string& name) { return text::equalsIgnoringCase(name, field); }))
                return group;
        }
    }
    return -1;
}

int NumberGroups::keptGroupNaming(std::string_view dataSet, std::string_view field, bool anyDataSet) const
{
    // Names hold no NUL: the byte keeps the dataset's name apart from the field's.
    std::string key = anyDataSet ? std::string("*") : '=' + std::string(dataSet);
    key += '\0';
    key += field;
    if (const auto kept = answers_.find(key); kept != answers_.end())
        return kept->second;
    const int group = firstGroupNaming(dataSet, field, anyDataSet);
    answers_.emplace(std::move(key), group);
    return group;
}

int NumberGroups::groupOf(std::string_view dataSet, std::string_view field) const
{
    return keptGroupNaming(dataSet, field, false);
}

int NumberGroups::decimalsFor(std::string_view field) const
{
    const int group = keptGroupNaming({}, field, true);
    return group < 0 ? 0 : lengths_[static_cast<std::size_t>(group)];
}

} // namespace orvane
