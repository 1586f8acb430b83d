#include "controls/ZtDBMemo.h"

#include "platform/data/DataSet.h"
#include "ui/QtText.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTimer>

namespace orvane {

TZtDBMemo::TZtDBMemo(QWidget* parent)
    : QPlainTextEdit(parent), FieldBinding([this] { refresh(); }, [this] { emit bindingChanged(); })
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!showing_)
            modified_ = true;
    });
    refresh();
}

void TZtDBMemo::setAutoDisplay(bool on)
{
    autoDisplay_ = on;
    shown_ = on;
    refresh();
}

void TZtDBMemo::refresh()
{
    if (showing_ || writingField() || (modified_ && hasFocus()))
        return;
    const Field* bound = field();
    setReadOnly(bound == nullptr || !link_.writable(*bound));
    showing_ = true;
    QString shown;
    if (bound != nullptr && bound->dataSet().active() && shown_) {
        shown = text::toQString(bound->asString());
        shown.replace(text::toQString(separator_), QStringLiteral("\n"));
    }
    if (shown != toPlainText())
        setPlainText(shown);
    showing_ = false;
    modified_ = false;
}

std::string TZtDBMemo::storedText() const
{
    QString lines = toPlainText();
    lines.replace(QStringLiteral("\n"), text::toQString(separator_));
    return text::fromQString(lines);
}

bool TZtDBMemo::updateRecord()
{
    if (!modified_)
        return true;
    const bool written = writeField("TZtDBMemo.UpdateRecord", [&](Field& bound) { bound.setAsString(storedText()); });
    if (written) {
        modified_ = false;
        refresh();
    }
    return written;
}

QString TZtDBMemo::textBeforeCaret() const
{
    const QTextCursor caret = textCursor();
    return caret.block().text().left(caret.positionInBlock());
}

void TZtDBMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (!updateRecord())
        QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
}

void TZtDBMemo::keyPressEvent(QKeyEvent* event)
{
    const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint();
    if (typing && maxLength_ > 0 && toPlainText().size() >= maxLength_ && !textCursor().hasSelection()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TZtDBMemo::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!shown_) {
        shown_ = true;
        refresh();
    }
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

} // namespace orvane
