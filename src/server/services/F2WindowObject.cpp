#include "server/services/F2WindowObject.h"

#include "platform/lookup/LookupAnswer.h"
#include "platform/lookup/LookupRequest.h"
#include "platform/text/ByteText.h"
#include "server/catalogue/LookupCatalogue.h"
#include "server/catalogue/LookupQuery.h"

#include <algorithm>
#include <cctype>

namespace orvane {

namespace {

std::string columnSpec(const LookupEntry& entry)
{
    std::string spec;
    for (std::size_t i = 0; i < entry.columns.size(); ++i)
        spec += (i ? ";" : "") + entry.columns[i].meaning + "$" + entry.columns[i].format;
    return spec;
}

// A column's field name: its own, else the selected column's name ("D.TD003" gives "TD003"),
// else one made of its position.
std::string fieldName(const LookupColumn& column, std::size_t position)
{
    if (!column.name.empty())
        return column.name;
    const std::string bare = column.sql.substr(column.sql.rfind('.') + 1);
    const bool plain = !bare.empty() && std::all_of(bare.begin(), bare.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
    return plain ? bare : "F" + std::to_string(position);
}

// A pick list's row whose code is the typed text, alone and to be taken without the list: a clerk who
// typed a whole code has nothing left to choose. Looked for in the first page, the codes in order.
void keepTypedCode(LookupAnswer& answer, const Variant& keys)
{
    if (!keys.isArray() || keys.array().empty() || !keys[keys.lowBound()].isString())
        return;
    const std::string typed = text::trim(keys[keys.lowBound()].asString());
    const auto row = std::ranges::find_if(answer.rows, [&](const std::vector<Variant>& cells) {
        return !cells.empty() && text::trim(cells.front().toString()) == typed;
    });
    if (typed.empty() || row == answer.rows.end())
        return;
    answer.rows = {*row};
    answer.moreRows = false;
    answer.takeSingleMatch = true;
}

std::vector<std::string> fieldNames(const LookupEntry& entry)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < entry.columns.size(); ++i)
        names.push_back(fieldName(entry.columns[i], i));
    return names;
}

} // namespace

F2WindowObject::F2WindowObject(std::shared_ptr<ServiceContext> context)
    : SessionObject("F2WindowS.Class1", std::move(context))
{
    method("GetF2Data", 2, [this](std::span<Variant> args) { return getF2Data(args); });
}

Variant F2WindowObject::getF2Data(std::span<Variant> args)
{
    const LookupRequest request = LookupRequest::fromVariant(args[0]);
    const LookupEntry* entry = windowLists().tryFind(request.table, request.kind);
    if (!entry) {
        args[1] = LookupAnswer{}.toVariant();
        return -1;
    }
    const LookupPage page = request.page.value_or(LookupPage{});
    const auto wanted = static_cast<std::size_t>(page.rows);
    LookupAnswer answer{
        .columns = columnSpec(*entry), .takeSingleMatch = entry->takeSingleMatch, .fieldNames = fieldNames(*entry)};
    // One row beyond the page tells whether more follow.
    answer.rows = context().withCompany(login(), [&](Database& db) {
        return LookupQuery(db, login().companyDb)
            .rows(*entry, request.keys, static_cast<std::size_t>(page.firstRow), wanted + 1);
    });
    answer.moreRows = answer.rows.size() > wanted;
    answer.rows.resize(std::min(answer.rows.size(), wanted));
    if (entry->takeTypedCode && page.firstRow == 0)
        keepTypedCode(answer, request.keys);
    const auto count = static_cast<int>(answer.rows.size());
    args[1] = answer.toVariant();
    return count;
}

} // namespace orvane
