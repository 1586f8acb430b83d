#include "salesorder/DBCodeCombo.h"

#include "platform/data/DataSet.h"
#include "platform/text/ByteText.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QSignalBlocker>

namespace orvane {

DBCodeCombo::DBCodeCombo(QWidget* parent) : QComboBox(parent), link_(std::make_unique<FieldLink<DBCodeCombo>>(*this))
{
    connect(this, &QComboBox::activated, this, guardedSlot("DBCodeCombo.Change", [this](int index) { choose(index); }));
}

DBCodeCombo::~DBCodeCombo() = default;

DataSource* DBCodeCombo::dataSource() const
{
    return link_->dataSource();
}

void DBCodeCombo::setDataSource(DataSource* source)
{
    link_->setDataSource(source);
    refresh();
    emit bindingChanged();
}

void DBCodeCombo::setDataField(const QString& name)
{
    dataField_ = name;
    refresh();
    emit bindingChanged();
}

void DBCodeCombo::setControlReadOnly(bool readOnly)
{
    controlReadOnly_ = readOnly;
    refresh();
}

void DBCodeCombo::setCodeItems(const std::vector<std::string>& items)
{
    const QSignalBlocker blocker(this);
    clear();
    for (const std::string& item : items) {
        const QString shown = QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size()));
        addItem(shown, shown.section(QLatin1Char(':'), 0, 0));
    }
    refresh();
}

void DBCodeCombo::refresh()
{
    const QSignalBlocker blocker(this);
    const Field* bound = field();
    const bool active = bound != nullptr && bound->dataSet().active() && !bound->dataSet().isEmpty();
    setEnabled(active && !controlReadOnly_ && !bound->readOnly());
    setCurrentIndex(active ? findData(text::toQString(text::trim(bound->asString()))) : -1);
}

void DBCodeCombo::choose(int index)
{
    Field* bound = field();
    if (bound == nullptr || controlReadOnly_ || bound->readOnly() || index < 0)
        return;
    DataSet& dataSet = bound->dataSet();
    if (dataSet.state() == DataSetState::Browse)
        dataSet.edit();
    bound->setText(text::fromQString(itemData(index).toString()));
}

} // namespace orvane
