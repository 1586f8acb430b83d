#pragma once
// DBCodeCombo: a drop-down list bound to a one-letter code field. Its items are the suite's
// "code:text" pairs; it shows the item of the field's code and writes the chosen item's code to
// the field, putting a browsing dataset into edit first. Read-only while the field cannot be
// written or its own ReadOnly is set. Client (GUI) thread only.

#include "controls/DataAware.h"
#include "controls/FieldLink.h"

#include <QComboBox>

#include <string>
#include <vector>

namespace orvane {

class DBCodeCombo : public QComboBox, public FieldBinding {
    Q_OBJECT
    Q_PROPERTY(orvane::DataSource* DataSource READ dataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ dataField WRITE setDataField)
    Q_PROPERTY(bool ReadOnly READ controlReadOnly WRITE setControlReadOnly)
public:
    explicit DBCodeCombo(QWidget* parent = nullptr);

    // The items, each "code:text" (UTF-8).
    void setCodeItems(const std::vector<std::string>& items);

    void refresh();

signals:
    void bindingChanged();

private:
    void choose(int index);
};

} // namespace orvane
