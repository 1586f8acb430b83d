#include "controls/DataAware.h"

#include "ui/QtText.h"

#include <QObject>
#include <QVariant>

namespace orvane {

DataSource* dataSourceOf(const QObject* control)
{
    return control != nullptr ? control->property("DataSource").value<DataSource*>() : nullptr;
}

QString dataFieldOf(const QObject* control)
{
    return control != nullptr ? control->property("DataField").toString() : QString();
}

QString selectedFieldOf(const QObject* grid)
{
    return grid != nullptr ? grid->property("SelectedField").toString() : QString();
}

Field* boundFieldOf(const QObject* control)
{
    const DataSource* source = dataSourceOf(control);
    const QString name = dataFieldOf(control);
    if (source == nullptr || source->dataSet() == nullptr || name.isEmpty())
        return nullptr;
    return source->dataSet()->findField(text::fromQString(name));
}

} // namespace orvane
