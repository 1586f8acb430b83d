#pragma once
// FieldLink: what a control bound to one field keeps of its binding. It holds the data source
// and the field's name, the control's own read-only mark, and listens to the source: the
// control shows the field again (the refresh it was given) whenever the source reports another
// record, another state, changed records or a new value of that field, and whenever the binding
// or the mark changes.
//
// FieldBinding: the binding's functions for a control to inherit beside its Qt class; the
// control's properties of the data-aware contract (DataAware.h: DataSource, DataField, ReadOnly)
// name them. Client (GUI) thread only.

#include "platform/data/DataSource.h"

#include <QString>

#include <functional>
#include <string>

namespace orvane {

class FieldLink : public DataLink {
public:
    explicit FieldLink(std::function<void()> refresh);

    // The bound field: the named field of the source's dataset; null when any part is missing.
    Field* field() const;
    const QString& fieldName() const { return fieldName_; }
    void bindSource(DataSource* source);
    void bindField(const QString& name);

    // The control's own read-only mark (the field's applies as well).
    bool controlReadOnly() const { return controlReadOnly_; }
    void setControlReadOnly(bool readOnly);
    // The control may write the field: neither it nor the field is read-only, the dataset is open,
    // and it is being edited or its source lets a control put it into edit.
    bool writable(const Field& field) const;

    void recordChanged() override { refresh_(); }
    void stateChanged() override { refresh_(); }
    void dataSetChanged() override { refresh_(); }
    void fieldChanged(Field& field) override;

private:
    std::function<void()> refresh_;
    QString fieldName_;
    std::string fieldNameBytes_; // the name as the dataset knows it, converted once
    bool controlReadOnly_ = false;
};

class FieldBinding {
public:
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataSource(DataSource* source);
    QString dataField() const { return link_.fieldName(); }
    void setDataField(const QString& name);
    // The control's own read-only mark (the field's applies as well).
    bool controlReadOnly() const { return link_.controlReadOnly(); }
    void setControlReadOnly(bool readOnly) { link_.setControlReadOnly(readOnly); }
    // The bound field; null when the binding is incomplete.
    Field* field() const { return link_.field(); }

protected:
    // Writes the bound field under the guard (`action` names it in a report), putting a browsing
    // dataset into edit first; false when the field refused the value. True, writing nothing,
    // when there is no field the control may write.
    bool writeField(const char* action, const std::function<void(Field&)>& write);
    // True while writeField runs: the field's notices are the control's own writing.
    bool writingField() const { return writing_; }

    // `refresh` shows the field again; `rebound` tells that the binding changed (the control's
    // bindingChanged signal).
    FieldBinding(std::function<void()> refresh, std::function<void()> rebound);
    ~FieldBinding() = default;

    FieldLink link_;

private:
    std::function<void()> rebound_;
    bool writing_ = false;
};

} // namespace orvane
