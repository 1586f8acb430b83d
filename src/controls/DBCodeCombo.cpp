#include "controls/DBCodeCombo.h"

#include "platform/data/DataSet.h"
#include "platform/text/ByteText.h"
#include "ui/QtText.h"

#include <QSignalBlocker>

namespace orvane {

DBCodeCombo::DBCodeCombo(QWidget* parent)
    : QComboBox(parent), FieldBinding([this] { refresh(); }, [this] { emit bindingChanged(); })
{
    connect(this, &QComboBox::activated, this, &DBCodeCombo::choose);
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
    const bool active = bound != nullptr && bound->dataSet().hasRecord();
    setEnabled(active && link_.writable(*bound));
    setCurrentIndex(active ? findData(text::toQString(text::trim(bound->asString()))) : -1);
}

void DBCodeCombo::choose(int index)
{
    if (index >= 0)
        writeField("DBCodeCombo.Change",
                   [&](Field& bound) { bound.setText(text::fromQString(itemData(index).toString())); });
}

} // namespace orvane
