#include "shell/QtShellWindows.h"

#include "services/InterfaceTexts.h"
#include "shell/DateInputDialog.h"
#include "shell/LookupDialog.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

namespace orvane {

std::optional<std::vector<Variant>> QtShellWindows::chooseLookupRow(const LookupList& list)
{
    // A list without rows leaves nothing to choose: the clerk is told so rather than shown an empty
    // window, and the focus stays on the field the lookup was asked from.
    if (list.page.rows.empty()) {
        DialogService::instance().showMessage({LookupDialog::title(),
                                               text::toQString(nothingMatchesText(*InterfaceTexts::current())),
                                               DialogKind::Error});
        return std::nullopt;
    }
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
