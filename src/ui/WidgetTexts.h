#pragma once
// Rewrites every user-visible text of a widget tree through one mapping: the language conversion
// of a whole form. Client (GUI) thread only.
//
// Covered: window titles, tool tips and status tips of widgets and actions; label, button, group
// box, line edit (text and placeholder), plain and rich text edit, combo box items (the current
// index is kept), tab bar, table/tree/list widget items and header labels, action texts (menu
// titles are their menu actions). Each text is mapped exactly once: the line edit of a combo or
// spin box and a tool button showing an action follow their owner. Empty texts are not mapped,
// and a text the mapping leaves unchanged is not written back, so no change signal fires for it.

#include <QString>

#include <functional>

class QWidget;

namespace orvane {

using TextMapping = std::function<QString(const QString& text)>;

// Maps the texts of root and of every object below it.
void mapWidgetTexts(QWidget& root, const TextMapping& mapping);

} // namespace orvane
