#include "server/services/F2WindowObject.h"

#include "server/catalogue/LookupCatalogue.h"
#include "server/catalogue/LookupQuery.h"
#include "server/services/ServiceError.h"

namespace orvane {

namespace {

std::string columnSpec(const LookupEntry& entry)
{
    std::string spec;
    for (std::size_t i = 0; i < entry.columns.size(); ++i)
        spec += (i ? ";" : "") + entry.columns[i].meaning + "$" + entry.columns[i].format;
    return spec;
}

// Element i of the request, or Unassigned past its end.
Variant element(const Variant& request, int i)
{
    const int low = request.lowBound();
    return low + i <= request.highBound() ? request[low + i] : Variant();
}

int pageNumber(const Variant& value, int fallback, int low, int high, const char* what)
{
    if (value.isEmpty())
        return fallback;
    const std::int64_t number = value.toIntegerOrZero();
    if (number < low || number > high)
        throw ServiceError(std::string("GetF2Data: ") + what + " " + value.toString() + " is outside " +
                           std::to_string(low) + ".." + std::to_string(high));
    return static_cast<int>(number);
}

} // namespace

F2WindowObject::F2WindowObject(std::shared_ptr<ServiceContext> context)
    : SessionObject("F2WindowS.Class1", std::move(context))
{
    method("GetF2Data", 2, [this](std::span<Variant> args) { return getF2Data(args); });
}

Variant F2WindowObject::getF2Data(std::span<Variant> args)
{
    const Variant& request = args[0];
    if (!request.isArray() || request.dimensions() != 1 || request.array().size() < 2)
        throw ServiceError("GetF2Data: the request must be an array [table, kind, keys, first row, rows]");
    const LookupEntry* entry = windowLists().tryFind(element(request, 0).toString(), element(request, 1).toString());
    if (!entry) {
        args[1] = Variant::arrayOf({Variant(std::string()), Variant::arrayOf({}), Variant(false)});
        return -1;
    }
    const int first = pageNumber(element(request, 3), 0, 0, 1 << 30, "first row");
    const int wanted = pageNumber(element(request, 4), maxPage, 1, maxPage, "rows wanted");
    // One row beyond the page tells whether more follow.
    auto rows = context().withCompany(login(), [&](Database& db) {
        return LookupQuery(db, login().companyDb)
            .rows(*entry, element(request, 2), static_cast<std::size_t>(first), static_cast<std::size_t>(wanted) + 1);
    });
    const bool more = rows.size() > static_cast<std::size_t>(wanted);
    rows.resize(std::min(rows.size(), static_cast<std::size_t>(wanted)));
    std::vector<Variant> page;
    page.reserve(rows.size());
    for (auto& row : rows)
        page.push_back(Variant::arrayOf(std::move(row)));
    const int count = static_cast<int>(page.size());
    args[1] = Variant::arrayOf({Variant(columnSpec(*entry)), Variant::arrayOf(std::move(page)), Variant(more)});
    return count;
}

} // namespace orvane
