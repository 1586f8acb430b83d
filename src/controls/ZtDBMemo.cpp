#include "controls/ZtDBMemo.h"

#include "platform/data/DataSet.h"
#include "platform/data/DataSetError.h"
#include "ui/FocusReasons.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTimer>

namespace orvane {

namespace {

// The bytes the field holds; 0 where its size bounds nothing.
std::size_t byteLimit(const Field& field)
{
    return field.type() == FieldType::String && field.size() > 0 ? static_cast<std::size_t>(field.size()) : 0;
}

} // namespace

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

std::string TZtDBMemo::storedText(QString lines) const
{
    lines.replace(QStringLiteral("\n"), text::toQString(separator_));
    return text::fromQString(lines);
}

bool TZtDBMemo::fits(const QString& text) const
{
    if (!text::storable(text)) {
        QApplication::beep();
        return false;
    }
    const Field* bound = field();
    const std::size_t limit = bound != nullptr ? byteLimit(*bound) : 0;
    if (limit == 0)
        return true;
    const QTextCursor caret = textCursor();
    // The document makes a line break of every CR, also of the one in a pasted CR LF.
    QString after = toPlainText();
    after.replace(caret.selectionStart(), caret.selectionEnd() - caret.selectionStart(),
                  QString(text).replace(u'\r', u'\n'));
    if (storedText(after).size() <= limit)
        return true;
    QApplication::beep();
    return false;
}

bool TZtDBMemo::insertWhole(const QString& text)
{
    if (!fits(text))
        return false;
    insertPlainText(text);
    return true;
}

bool TZtDBMemo::updateRecord()
{
    if (!modified_)
        return true;
    const bool written = writeField("TZtDBMemo.UpdateRecord", [&](Field& bound) {
        // The record would cut a longer text at a byte count, maybe inside a character.
        const std::string text = storedText(toPlainText());
        if (const std::size_t limit = byteLimit(bound); limit > 0 && text.size() > limit)
            throw DataSetError(bound.displayLabel() + " holds at most " + std::to_string(limit) +
                               " bytes, and the text has " + std::to_string(text.size()) + ": shorten it");
        bound.setAsString(text);
    });
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
    if (focusTakenOver(event->reason()))
        return;
    if (!updateRecord())
        QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
}

void TZtDBMemo::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint();
    if (!isReadOnly() && (enter || typing) && !fits(enter ? QStringLiteral("\n") : event->text())) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TZtDBMemo::inputMethodEvent(QInputMethodEvent* event)
{
    if (isReadOnly() || event->commitString().isEmpty() || fits(event->commitString())) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent composing(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&composing);
}

void TZtDBMemo::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || fits(source->text()))
        QPlainTextEdit::insertFromMimeData(source);
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
