#include "platform/lookup/LookupAnswer.h"

#include "platform/lookup/LookupElements.h"

namespace orvane {

std::vector<ColumnEntry> columnEntries(std::string_view specification)
{
    std::vector<ColumnEntry> entries;
    while (!specification.empty()) {
        const std::size_t end = specification.find(';');
        const std::string_view entry = specification.substr(0, end);
        const std::size_t dollar = entry.find('$');
        entries.push_back({std::string(entry.substr(0, dollar)),
                           dollar == std::string_view::npos ? std::string() : std::string(entry.substr(dollar + 1))});
        if (end == std::string_view::npos)
            break;
        specification.remove_prefix(end + 1);
    }
    return entries;
}

namespace {

enum AnswerElement : std::size_t { Columns, Rows, MoreRows, TakeSingleMatch, FieldNames };
// Element counts without and with the field names.
constexpr std::size_t withoutNames = FieldNames;
constexpr std::size_t withNames = FieldNames + 1;

std::vector<std::vector<Variant>> checkedRows(const LookupElements& elements)
{
    const Variant& rows = elements.list(Rows, "rows");
    std::vector<std::vector<Variant>> decoded;
    decoded.reserve(rows.array().size());
    for (const Variant& row : rows.array().elements()) {
        if (!row.isArray() || row.dimensions() != 1)
            elements.refuse(Rows, "rows",
                            "holds a row that is " +
                                std::string(row.isArray() ? "two-dimensional" : typeName(row.type())) +
                                ", not a list of columns");
        const auto cells = row.array().elements();
        decoded.emplace_back(cells.begin(), cells.end());
    }
    return decoded;
}

std::vector<std::string> checkedNames(const LookupElements& elements)
{
    std::vector<std::string> names;
    for (const Variant& name : elements.list(FieldNames, "field names").array().elements()) {
        if (!name.isString())
            elements.refuse(FieldNames, "field names",
                            "holds a " + std::string(typeName(name.type())) + ", not a field name");
        names.push_back(name.toString());
    }
    return names;
}

} // namespace

Variant LookupAnswer::toVariant() const
{
    std::vector<Variant> encodedRows;
    encodedRows.reserve(rows.size());
    for (const auto& row : rows)
        encodedRows.push_back(Variant::arrayOf(row));
    std::vector<Variant> elements{columns, Variant::arrayOf(std::move(encodedRows)), moreRows, takeSingleMatch};
    if (!fieldNames.empty()) {
        std::vector<Variant> names(fieldNames.begin(), fieldNames.end());
        elements.push_back(Variant::arrayOf(std::move(names)));
    }
    return Variant::arrayOf(std::move(elements));
}

LookupAnswer LookupAnswer::fromVariant(const Variant& answer)
{
    const LookupElements elements(answer, "Lookup answer", {withoutNames, withNames});
    return {
        .columns = elements.text(Columns, "column specification"),
        .rows = checkedRows(elements),
        .moreRows = elements.flag(MoreRows, "more rows"),
        .takeSingleMatch = elements.flag(TakeSingleMatch, "take a single match"),
        .fieldNames = elements.size() == withNames ? checkedNames(elements) : std::vector<std::string>{},
    };
}

} // namespace orvane
