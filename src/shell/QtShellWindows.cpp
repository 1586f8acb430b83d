#include "shell/QtShellWindows.h"

#include "shell/DateInputDialog.h"
#include "shell/LookupDialog.h"
#include "ui/DialogService.h"

namespace orvane {

Variant QtShellWindows::chooseLookupRow(const LookupList& list)
{
    if (takesFirstRow(list.request))
        return ShellWindows::chooseLookupRow(list);
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
