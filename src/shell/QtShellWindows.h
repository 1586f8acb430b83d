#pragma once
// The shell's windows behind its components: the lookup window and the date input, each run
// modally through the dialog service (so tests and offscreen runs script them).
// Client thread only.

#include "shell/ShellWindows.h"

namespace orvane {

class QtShellWindows : public ShellWindows {
public:
    // The lookup window's choice (none when the user chose nothing); a list without rows shows no
    // window but says that nothing matches.
    std::optional<std::vector<Variant>> chooseLookupRow(const LookupList& list) override;
    // The calendar's date (YYYYMMDD), or the given date when none was taken.
    std::string inputDay(const Variant& date) override;
};

} // namespace orvane
