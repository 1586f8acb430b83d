#pragma once
// TZtDBMemo: a memo bound to one field of a dataset through a data source. It shows the field's
// stored text as lines (split at the field's line separator: CR LF, or the BEL that the shipping
// marks store), is read-only while the field cannot be written or its own ReadOnly is set, and
// writes its lines back, joined by the separator, when it loses the focus, putting a browsing
// dataset into edit first. With AutoDisplay off the text shows only after a double click.
// Client (GUI) thread only.

#include "controls/DataAware.h"
#include "salesorder/FieldLink.h"

#include <QPlainTextEdit>

#include <memory>
#include <string>

namespace orvane {

class TZtDBMemo : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(orvane::DataSource* DataSource READ dataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ dataField WRITE setDataField)
    Q_PROPERTY(bool ReadOnly READ controlReadOnly WRITE setControlReadOnly)
    Q_PROPERTY(bool AutoDisplay READ autoDisplay WRITE setAutoDisplay)
public:
    explicit TZtDBMemo(QWidget* parent = nullptr);
    ~TZtDBMemo() override;

    DataSource* dataSource() const;
    void setDataSource(DataSource* source);
    QString dataField() const { return dataField_; }
    void setDataField(const QString& name);
    bool controlReadOnly() const { return controlReadOnly_; }
    void setControlReadOnly(bool readOnly);
    bool autoDisplay() const { return autoDisplay_; }
    void setAutoDisplay(bool on);
    // The separator of the stored lines ("\r\n" unless told otherwise).
    void setLineSeparator(std::string separator) { separator_ = std::move(separator); }
    // The most characters the memo holds (0: no limit).
    void setMaxLength(int characters) { maxLength_ = characters; }

    Field* field() const { return boundFieldOf(this); }
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
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool writable(const Field& field) const;
    std::string storedText() const;

    std::unique_ptr<FieldLink<TZtDBMemo>> link_;
    QString dataField_;
    std::string separator_ = "\r\n";
    int maxLength_ = 0;
    bool controlReadOnly_ = false;
    bool autoDisplay_ = true;
    bool shown_ = true;    // the field's text is on display (AutoDisplay or a double click)
    bool writing_ = false; // set while the lines go to the field
    bool modified_ = false;
};

} // namespace orvane
