#include "shell/LookupComponent.h"

#include "shell/ShellWindows.h"

namespace orvane {

namespace {

constexpr int tableElement = 0;
constexpr int kindElement = 1;
constexpr int keysElement = 2;
constexpr int requestSize = 13;
// Rows of the first page; the window asks for more itself.
constexpr int firstPageRows = 1000;

} // namespace

LookupComponent::LookupComponent(DispatchPtr lookupService, ShellWindows& windows)
    : AutomationObject("Orvane.F2Window"), lookupService_(std::move(lookupService)), windows_(windows)
{
    method("F2GetData", 1, [this](std::span<Variant> args) { return f2GetData(args[0]); });
}

Variant LookupComponent::f2GetData(Variant& request)
{
    if (!request.isArray() || request.dimensions() != 1 || request.array().bounds().count() != requestSize)
        throw DispatchError("F2GetData takes a request array of " + std::to_string(requestSize) + " elements");
    const int low = request.lowBound();
    const Variant& table = request[low + tableElement];
    const Variant& kind = request[low + kindElement];
    std::vector<Variant> fetch{Variant::arrayOf({table, kind, request[low + keysElement], 0, firstPageRows}),
                               Variant()};
    const std::int64_t count = lookupService_->invoke("GetF2Data", fetch).toIntegerOrZero();
    if (count < 0)
        throw DispatchError("F2GetData: no lookup list for table '" + table.toString() + "' kind '" + kind.toString() +
                            "'");
    const Variant& result = fetch[1];
    LookupList list{request, result[0].toString(), result[1], result[2].toBoolean()};
    Variant chosen = windows_.chooseLookupRow(list);
    if (chosen.isUnassigned())
        return {};
    return Variant::arrayOf({std::move(chosen)});
}

} // namespace orvane
