#include "controls/DBEdit.h"

#include "ui/FocusReasons.h"
#include "ui/QtText.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QValidator>

namespace orvane {

namespace {

// Refuses text a string field cannot store: longer than its size in bytes of the installation code
// page, or holding a character the code page lacks.
class ByteLengthValidator : public QValidator {
public:
    ByteLengthValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}
    State validate(QString& input, int& /*position*/) const override
    {
        return static_cast<int>(text::fromQString(input).size()) <= maxBytes_ && text::storable(input) ? Acceptable
                                                                                                       : Invalid;
    }
    int maxBytes() const { return maxBytes_; }

private:
    int maxBytes_;
};

} // namespace

void applyFieldLimits(MaskEdit& edit, const Field& field)
{
    if (edit.editMask() != field.editMask())
        edit.setEditMask(field.editMask());
    const auto* current = dynamic_cast<const ByteLengthValidator*>(edit.validator());
    const int limit = field.type() == FieldType::String && field.editMask().empty() ? field.size() : 0;
    if ((current != nullptr ? current->maxBytes() : 0) == limit)
        return;
    edit.setValidator(limit > 0 ? new ByteLengthValidator(limit, &edit) : nullptr);
    delete current;
    // Each character takes at least one byte.
    edit.setMaxLength(limit > 0 ? limit : 32767);
}

DBEdit::DBEdit(QWidget* parent)
    : MaskEdit(parent), FieldBinding([this] { refresh(); }, [this] { emit bindingChanged(); })
{
    refresh();
}

void DBEdit::refresh()
{
    if (writingField())
        return;
    const QSignalBlocker blocker(this);
    const Field* bound = field();
    setReadOnly(bound == nullptr || !link_.writable(*bound));
    if (bound == nullptr) {
        setEditMask("");
        setText({});
    } else {
        applyFieldLimits(*this, *bound);
        const bool shown = bound->dataSet().active();
        setFieldText(!shown ? std::string() : hasFocus() ? bound->editText() : bound->displayText());
        if (!hasFocus())
            setCursorPosition(0); // a text wider than the box shows its start, as it is read
    }
    setModified(false);
}

bool DBEdit::updateRecord()
{
    if (!isModified())
        return true;
    const bool written = writeField("DBEdit.UpdateRecord", [&](Field& bound) { bound.setText(fieldText()); });
    if (written)
        refresh(); // the set-text handler may have stored the value in another form
    return written;
}

void DBEdit::focusInEvent(QFocusEvent* event)
{
    if (!isModified())
        refresh();
    MaskEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent* event)
{
    MaskEdit::focusOutEvent(event);
    if (focusTakenOver(event->reason()))
        return;
    if (updateRecord())
        refresh(); // the display text instead of the edit text
    else
        QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !updateRecord()) {
        event->accept();
        return;
    }
    MaskEdit::keyPressEvent(event);
}

} // namespace orvane
