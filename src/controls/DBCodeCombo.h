#pragma once
// DBCodeCombo: a drop-down list bound to a one-letter code field. Its items are the suite's
// "code:text" pairs; it shows the item of the field's code and writes the chosen item's code to
// the field, putting a browsing dataset into edit first. Read-only while the field cannot be
// written or its own ReadOnly is set. Client (GUI) thread only.

#include "controls/DataAware.h"
#include "salesorder/FieldLink.h"

#include <QComboBox>

#include <memory>
#include <string>
#include <vector>

namespace orvane {

class DBCodeCombo : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(orvane::DataSource* DataSource READ dataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ dataField WRITE setDataField)
    Q_PROPERTY(bool ReadOnly READ controlReadOnly WRITE setControlReadOnly)
public:
    explicit DBCodeCombo(QWidget* parent = nullptr);
    ~DBCodeCombo() override;

    DataSource* dataSource() const;
    void setDataSource(DataSource* source);
    QString dataField() const { return dataField_; }
    void setDataField(const QString& name);
    bool controlReadOnly() const { return controlReadOnly_; }
    void setControlReadOnly(bool readOnly);
    // The items, each "code:text" (UTF-8).
    void setCodeItems(const std::vector<std::string>& items);

    Field* field() const { return boundFieldOf(this); }
    void refresh();

signals:
    void bindingChanged();

private:
    void choose(int index);

    std::unique_ptr<FieldLink<DBCodeCombo>> link_;
    QString dataField_;
    bool controlReadOnly_ = false;
    bool showing_ = false; // set while the combo shows the field
};

} // namespace orvane
