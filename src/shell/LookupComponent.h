#pragma once
// The shell's lookup-window service ("Com_F2Window"): "F2GetData"(request&) fetches the list a
// LookupRequest names from the server's lookup service, page by page, and answers a
// LookupAnswer holding the chosen row (its column specification and single-match flag kept),
// or unassigned when nothing was chosen. The first row is taken without a window when the
// request asks for it or the list's answer says its single match is taken; otherwise the
// shell's lookup window chooses, fetching further pages as it needs them. A request that
// carries a page starts there and fetches pages of its size. Client thread only.

#include "platform/lookup/LookupAnswer.h"
#include "platform/lookup/LookupRequest.h"
#include "platform/variant/Dispatch.h"

namespace orvane {

class ShellWindows;

class LookupComponent : public AutomationObject {
public:
    // lookupService: "F2WindowS.Class1" on the shell's session; windows outlive the component.
    LookupComponent(DispatchPtr lookupService, ShellWindows& windows);

private:
    Variant f2GetData(const Variant& request);
    // One page of the request's list; raises DispatchError for a list the service does not have.
    LookupAnswer fetch(LookupRequest request, LookupPage page) const;

    DispatchPtr lookupService_;
    ShellWindows& windows_;
};

} // namespace orvane
