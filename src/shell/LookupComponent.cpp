#include "shell/LookupComponent.h"

#include "platform/text/FieldTextRules.h"
#include "services/Brokers.h"
#include "shell/ShellWindows.h"

namespace orvane {

LookupComponent::LookupComponent(DispatchPtr lookupService, DispatchPtr varManager, ShellWindows& windows,
                                 ServerText serverText)
    : AutomationObject("Orvane.F2Window"), lookupService_(std::move(lookupService)), varManager_(std::move(varManager)),
      windows_(windows), serverText_(serverText)
{
    method("F2GetData", 1, [this](std::span<Variant> args) { return f2GetData(args[0]); });
}

Variant LookupComponent::f2GetData(const Variant& request)
{
    const LookupRequest asked = LookupRequest::fromVariant(request);
    const LookupPage first = asked.page.value_or(LookupPage{});
    LookupAnswer page = fetch(asked, first);
    std::optional<std::vector<Variant>> chosen;
    if (asked.takeFirstRow || page.takeSingleMatch) {
        if (!page.rows.empty())
            chosen = std::move(page.rows.front());
    } else {
        LookupList list{asked, page, [this, asked, first](std::size_t shown) {
                            return fetch(asked, {first.firstRow + static_cast<std::int64_t>(shown), first.rows});
                        }};
        list.serverText = serverText_;
        setDateDisplay(list);
        chosen = windows_.chooseLookupRow(list);
    }
    if (!chosen)
        return {};
    page.rows = {std::move(*chosen)};
    page.moreRows = false;
    return page.toVariant();
}

void LookupComponent::setDateDisplay(LookupList& list) const
{
    std::vector<Variant> args{list.request.companyId};
    for (const auto& [name, value] : systemParameterPairs(varManager_->invoke("GetSysInfo", args))) {
        if (name == "SYS001")
            list.dateStyle = text::knownDateStyle(value);
        else if (name == "SYS002")
            list.dateSeparator = value;
    }
}

LookupAnswer LookupComponent::fetch(LookupRequest request, LookupPage page) const
{
    request.page = page;
    std::vector<Variant> args{request.toVariant(), Variant()};
    if (lookupService_->invoke("GetF2Data", args).toIntegerOrZero() < 0)
        throw DispatchError("F2GetData: no lookup list for table '" + request.table + "' kind '" + request.kind + "'");
    return LookupAnswer::fromVariant(args[1]);
}

} // namespace orvane
