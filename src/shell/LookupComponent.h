#pragma once
// The shell's lookup-window service ("Com_F2Window"): "F2GetData"(request&) fetches the list
// the request names from the server's lookup service and lets the shell's window choose a row.
//
// Request (bounds 0..12): [0] table, [1] kind, [2] keys (array, one value or empty), [3] take
// the first row without a window, [4] the caller's text, [5] company, [6] company database,
// [7] window handle, [8] 1, [9] the caller's second flag, [10] the shell's integer, [11] and
// [12] the caller's command rights. Answer: an array holding the chosen row (so pick lists
// read the first column of the first row), or unassigned when nothing was chosen.
// Client thread only.

#include "platform/variant/Dispatch.h"

namespace orvane {

class ShellWindows;

class LookupComponent : public AutomationObject {
public:
    // lookupService: "F2WindowS.Class1" on the shell's session; windows outlive the component.
    LookupComponent(DispatchPtr lookupService, ShellWindows& windows);

private:
    Variant f2GetData(Variant& request);

    DispatchPtr lookupService_;
    ShellWindows& windows_;
};

} // namespace orvane
