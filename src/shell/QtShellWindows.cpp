#include "shell/QtShellWindows.h"

#include "shell/DateInputDialog.h"
#include "shell/LookupDialog.h"
#include "ui/DialogService.h"

namespace orvane {

std::optional<std::vector<Variant>> QtShellWindows::chooseLookupRow(const LookupList& list)
{
    LookupDialog window(list);
    DialogService::instance().runModal(window);
    return window.chosenRow();
}

std::string QtShellWindows::inputDay(const Variant& date)
{
    DateInputDialog window(ShellWindows::inputDay(date));
    DialogService::instance().runModal(window);
    return window.answer();
}

} // namespace orvane
