#include "salesorder/ZtDBMemo.h"

#include "platform/data/DataSet.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTimer>

namespace orvane {

TZtDBMemo::TZtDBMemo(QWidget* parent) : QPlainTextEdit(parent), link_(std::make_unique<FieldLink<TZtDBMemo>>(*this))
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!writing_)
            modified_ = true;
    });
    refresh();
}

TZtDBMemo::~TZtDBMemo() = default;

DataSource* TZtDBMemo::dataSource() const
{
    return link_->dataSource();
}

void TZtDBMemo::setDataSource(DataSource* source)
{
    link_->setDataSource(source);
    refresh();
    emit bindingChanged();
}

void TZtDBMemo::setDataField(const QString& name)
{
    dataField_ = name;
    refresh();
    emit bindingChanged();
}

void TZtDBMemo::setControlReadOnly(bool readOnly)
{
    controlReadOnly_ = readOnly;
    refresh();
}

void TZtDBMemo::setAutoDisplay(bool on)
{
    autoDisplay_ = on;
    shown_ = on;
    refresh();
}

bool TZtDBMemo::writable(const Field& field) const
{
    return !controlReadOnly_ && !field.readOnly() && field.dataSet().active();
}

void TZtDBMemo::refresh()
{
    if (writing_ || (modified_ && hasFocus()))
        return;
    const Field* bound = field();
    setReadOnly(bound == nullptr || !writable(*bound));
    writing_ = true;
    QString shown;
    if (bound != nullptr && bound->dataSet().active() && shown_) {
        shown = text::toQString(bound->asString());
        shown.replace(text::toQString(separator_), QStringLiteral("\n"));
    }
    if (shown != toPlainText())
        setPlainText(shown);
    writing_ = false;
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
    Field* bound = field();
    if (!modified_ || writing_ || bound == nullptr || !writable(*bound))
        return true;
    writing_ = true;
    const bool written = guarded("TZtDBMemo.UpdateRecord", [&] {
        DataSet& dataSet = bound->dataSet();
        if (dataSet.state() == DataSetState::Browse)
            dataSet.edit();
        bound->setAsString(storedText());
    });
    writing_ = false;
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
