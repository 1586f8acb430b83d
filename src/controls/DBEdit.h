#pragma once
// DBEdit: a masked edit bound to one field of a dataset through a data source. It shows the
// field's display text (its edit text while it has the focus) and the field's edit mask, and
// repaints whenever the data source reports a change, with its own signals blocked so nothing
// loops back. It writes the typed text through the field's set-text handler when it loses the
// focus or on Enter, only when the text was changed and the field can be written, putting a
// browsing dataset into edit state first. A refused value (a check's silent abort or any other
// exception, which the guard reports) keeps the typed text and the focus.
//
// It is read-only while the field is read-only, its own "ReadOnly" is set, or nothing is bound.
// Strings cannot grow beyond the field's size in bytes of the installation code page.
// Client (GUI) thread only.

#include "controls/DataAware.h"
#include "controls/FieldLink.h"
#include "controls/MaskEdit.h"

namespace orvane {

// Gives an edit the mask and the length limit of `field` (bytes of the installation code page
// for strings; masked edits are limited by their mask).
void applyFieldLimits(MaskEdit& edit, const Field& field);

class DBEdit : public MaskEdit, public FieldBinding {
    Q_OBJECT
    Q_PROPERTY(orvane::DataSource* DataSource READ dataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ dataField WRITE setDataField)
    Q_PROPERTY(bool ReadOnly READ controlReadOnly WRITE setControlReadOnly)
public:
    explicit DBEdit(QWidget* parent = nullptr);

    // Writes changed text to the field; false when the field refused it.
    bool updateRecord();
    // Shows the field again (after a form changed its mask or read-only mark).
    void refresh();

signals:
    void bindingChanged();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
};

} // namespace orvane
