#pragma once
// OrderDialogEntry: what the order program's small dialogs share in their edits: the colours of
// a required entry (light yellow) and of one that takes no typing (the button face), the
// characters a number edit accepts, and the owner of a dialog shown once and freed.
// Client (GUI) thread only.

#include "framework/ZtForm.h"

#include <memory>

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace orvane {

// Paints control as a required entry (red 255, green 255, blue 175).
void paintRequired(QWidget& control);
// Paints control in the button-face colour of an entry that takes no typing.
void paintButtonFace(QWidget& control);

// True when a number edit refuses the typed character: only digits, Backspace and one "." pass
// (keys that type nothing, such as the arrows, pass too).
bool refusesNumberKey(const QKeyEvent& event, const QLineEdit& edit);
// True when a date edit refuses the typed character: only digits, Backspace and "$" pass.
bool refusesDateKey(const QKeyEvent& event);

struct FreeForm {
    void operator()(TZtForm* form) const { TZtForm::Free(form); }
};
// A dialog made for one showing and freed afterwards, also when the showing fails.
template <typename Dialog>
using DialogOnce = std::unique_ptr<Dialog, FreeForm>;

} // namespace orvane
