#pragma once
// TZtDBMemo: a memo bound to one field of a dataset through a data source. It shows the field's
// stored text as lines (split at the field's line separator: CR LF, or the BEL that the shipping
// marks store), is read-only while the field cannot be written or its own ReadOnly is set, and
// writes its lines back, joined by the separator, when it loses the focus, putting a browsing
// dataset into edit first. With AutoDisplay off the text shows only after a double click.
// A string field's size, in bytes of the installation code page, bounds the stored text: typing,
// pasting, an input method or a form's insertWhole that would pass it is refused with a beep, and
// a longer text set by program is refused when written, never cut.
// Client (GUI) thread only.

#include "controls/DataAware.h"
#include "controls/FieldLink.h"

#include <QPlainTextEdit>

#include <string>

namespace orvane {

class TZtDBMemo : public QPlainTextEdit, public FieldBinding {
    Q_OBJECT
    Q_PROPERTY(orvane::DataSource* DataSource READ dataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ dataField WRITE setDataField)
    Q_PROPERTY(bool ReadOnly READ controlReadOnly WRITE setControlReadOnly)
    Q_PROPERTY(bool AutoDisplay READ autoDisplay WRITE setAutoDisplay)
public:
    explicit TZtDBMemo(QWidget* parent = nullptr);

    bool autoDisplay() const { return autoDisplay_; }
    void setAutoDisplay(bool on);
    // The separator of the stored lines ("\r\n" unless told otherwise).
    void setLineSeparator(std::string separator) { separator_ = std::move(separator); }
    // Puts text in place of the selection when the field holds the result whole, else beeps and
    // leaves the memo as it is; whether it was put.
    bool insertWhole(const QString& text);

    // Writes changed lines to the field; false when the field refused them.
    bool updateRecord();
    void refresh();
    // The text of the caret's line before the caret.
    QString textBeforeCaret() const;

signals:
    void bindingChanged();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The field's text for lines as shown.
    std::string storedText(QString lines) const;
    // Whether text in place of the selection leaves a text the field holds whole; beeps if not.
    bool fits(const QString& text) const;

    std::string separator_ = "\r\n";
    bool autoDisplay_ = true;
    bool shown_ = true;    // the field's text is on display (AutoDisplay or a double click)
    bool showing_ = false; // set while the field's text is put on display
    bool modified_ = false;
};

} // namespace orvane
