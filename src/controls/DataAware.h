#pragma once
// The contract of the data-aware controls. An edit bound to one field publishes the Qt
// properties "DataSource" (an orvane::DataSource*) and "DataField" (the field's name); a grid
// publishes "DataSource" and "SelectedField" (the field of its current column). Controls that
// can change their binding also have a signal bindingChanged(). Form code and companion
// controls (TDBLabel) read bindings only through the functions below, so they work for any
// control that follows the contract. Client (GUI) thread only.

#include "platform/data/DataSource.h"

#include <QMetaType>
#include <QString>

class QObject;

Q_DECLARE_METATYPE(orvane::DataSource*)
Q_DECLARE_METATYPE(orvane::Field*)

namespace orvane {

// The control's "DataSource"; null when it has none.
DataSource* dataSourceOf(const QObject* control);
// The control's "DataField"; empty when it has none.
QString dataFieldOf(const QObject* control);
// The grid's "SelectedField"; empty when it has none.
QString selectedFieldOf(const QObject* grid);
// The field an edit is bound to: its DataField in its DataSource's dataset; null when any
// part is missing.
Field* boundFieldOf(const QObject* control);

} // namespace orvane
