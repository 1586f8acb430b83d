#pragma once
// The shell's lookup-window service ("Com_F2Window"): "F2GetData"(request&) fetches the list a
// LookupRequest names from the server's lookup service, page by page, and answers a
// LookupAnswer holding the chosen row (its column specification and single-match flag kept),
// or unassigned when nothing was chosen. The first row is taken without a window when the
// request asks for it or the list's answer says its single match is taken; otherwise the
// shell's lookup window chooses, fetching further pages as it needs them and showing dates as
// the company's system parameters say (the variable manager's "GetSysInfo"). A request that
// carries a page starts there and fetches pages of its size. Client thread only.

#include "platform/lookup/LookupAnswer.h"
#include "platform/lookup/LookupRequest.h"
#include "platform/variant/Dispatch.h"
#include "shell/ServerText.h"

namespace orvane {

class ShellWindows;
struct LookupList;

class LookupComponent : public AutomationObject {
public:
    // lookupService: "F2WindowS.Class1" on the shell's session; varManager: the host's variable
    // manager; windows outlive the component. serverText shows the lists' texts.
    LookupComponent(DispatchPtr lookupService, DispatchPtr varManager, ShellWindows& windows, ServerText serverText);

private:
    Variant f2GetData(const Variant& request);
    // One page of the request's list; raises DispatchError for a list the service does not have.
    LookupAnswer fetch(LookupRequest request, LookupPage page) const;

    // The company's date style and separator into the list the window shows.
    void setDateDisplay(LookupList& list) const;

    DispatchPtr lookupService_;
    DispatchPtr varManager_;
    ShellWindows& windows_;
    ServerText serverText_;
};

} // namespace orvane
