#include "ui/WidgetTexts.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <vector>

namespace orvane {
namespace {

// Writes the mapped text through `set` when the mapping changes it. The original is read by the
// caller before any write, so a setter that derives one text from another never maps it twice.
template <typename Setter>
void remap(const TextMapping& mapping, const QString& original, Setter set)
{
    if (original.isEmpty())
        return;
    QString mapped = mapping(original);
    if (mapped != original)
        set(mapped);
}

void mapItemTexts(const TextMapping& mapping, QTableWidgetItem* item)
{
    if (item == nullptr)
        return;
    const QString text = item->text();
    const QString tip = item->toolTip();
    remap(mapping, text, [item](const QString& t) { item->setText(t); });
    remap(mapping, tip, [item](const QString& t) { item->setToolTip(t); });
}

void mapTreeItem(const TextMapping& mapping, QTreeWidgetItem& item)
{
    for (int column = 0; column < item.columnCount(); ++column) {
        const QString text = item.text(column);
        const QString tip = item.toolTip(column);
        remap(mapping, text, [&item, column](const QString& t) { item.setText(column, t); });
        remap(mapping, tip, [&item, column](const QString& t) { item.setToolTip(column, t); });
    }
    for (int child = 0; child < item.childCount(); ++child)
        mapTreeItem(mapping, *item.child(child));
}

void mapTable(const TextMapping& mapping, QTableWidget& table)
{
    for (int column = 0; column < table.columnCount(); ++column)
        mapItemTexts(mapping, table.horizontalHeaderItem(column));
    for (int row = 0; row < table.rowCount(); ++row) {
        mapItemTexts(mapping, table.verticalHeaderItem(row));
        for (int column = 0; column < table.columnCount(); ++column)
            mapItemTexts(mapping, table.item(row, column));
    }
}

void mapTree(const TextMapping& mapping, QTreeWidget& tree)
{
    if (QTreeWidgetItem* header = tree.headerItem())
        mapTreeItem(mapping, *header);
    for (int index = 0; index < tree.topLevelItemCount(); ++index)
        mapTreeItem(mapping, *tree.topLevelItem(index));
}

void mapList(const TextMapping& mapping, QListWidget& list)
{
    for (int row = 0; row < list.count(); ++row) {
        QListWidgetItem* item = list.item(row);
        const QString text = item->text();
        const QString tip = item->toolTip();
        remap(mapping, text, [item](const QString& t) { item->setText(t); });
        remap(mapping, tip, [item](const QString& t) { item->setToolTip(t); });
    }
}

void mapCombo(const TextMapping& mapping, QComboBox& combo)
{
    const int current = combo.currentIndex();
    for (int index = 0; index < combo.count(); ++index)
        remap(mapping, combo.itemText(index), [&combo, index](const QString& t) { combo.setItemText(index, t); });
    remap(mapping, combo.placeholderText(), [&combo](const QString& t) { combo.setPlaceholderText(t); });
    combo.setCurrentIndex(current);
}

void mapTabBar(const TextMapping& mapping, QTabBar& bar)
{
    for (int index = 0; index < bar.count(); ++index) {
        const QString text = bar.tabText(index);
        const QString tip = bar.tabToolTip(index);
        remap(mapping, text, [&bar, index](const QString& t) { bar.setTabText(index, t); });
        remap(mapping, tip, [&bar, index](const QString& t) { bar.setTabToolTip(index, t); });
    }
}

void mapTextEdit(const TextMapping& mapping, QTextEdit& edit)
{
    if (edit.document()->isEmpty())
        return;
    if (edit.acceptRichText())
        remap(mapping, edit.toHtml(), [&edit](const QString& t) { edit.setHtml(t); });
    else
        remap(mapping, edit.toPlainText(), [&edit](const QString& t) { edit.setPlainText(t); });
}

void mapAction(const TextMapping& mapping, QAction& action)
{
    // toolTip() and statusTip() derive from the text when not set: read all three first.
    const QString text = action.text();
    const QString tip = action.toolTip();
    const QString status = action.statusTip();
    remap(mapping, text, [&action](const QString& t) { action.setText(t); });
    remap(mapping, tip, [&action](const QString& t) { action.setToolTip(t); });
    remap(mapping, status, [&action](const QString& t) { action.setStatusTip(t); });
}

// The widget's own texts, beyond the ones every widget has.
void mapWidgetKind(const TextMapping& mapping, QWidget& widget)
{
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        remap(mapping, label->text(), [label](const QString& t) { label->setText(t); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        remap(mapping, button->text(), [button](const QString& t) { button->setText(t); });
    } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        remap(mapping, group->title(), [group](const QString& t) { group->setTitle(t); });
    } else if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
        remap(mapping, line->text(), [line](const QString& t) { line->setText(t); });
        remap(mapping, line->placeholderText(), [line](const QString& t) { line->setPlaceholderText(t); });
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(&widget)) {
        remap(mapping, plain->toPlainText(), [plain](const QString& t) { plain->setPlainText(t); });
    } else if (auto* rich = qobject_cast<QTextEdit*>(&widget)) {
        mapTextEdit(mapping, *rich);
    } else if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        mapCombo(mapping, *combo);
    } else if (auto* bar = qobject_cast<QTabBar*>(&widget)) {
        mapTabBar(mapping, *bar);
    } else if (auto* table = qobject_cast<QTableWidget*>(&widget)) {
        mapTable(mapping, *table);
    } else if (auto* tree = qobject_cast<QTreeWidget*>(&widget)) {
        mapTree(mapping, *tree);
    } else if (auto* list = qobject_cast<QListWidget*>(&widget)) {
        mapList(mapping, *list);
    }
}

// Widgets whose texts are another object's: mapping them too would convert twice.
bool followsOwner(const QWidget& widget)
{
    if (qobject_cast<const QLineEdit*>(&widget) != nullptr) {
        const QObject* parent = widget.parent();
        return qobject_cast<const QComboBox*>(parent) != nullptr ||
               qobject_cast<const QAbstractSpinBox*>(parent) != nullptr;
    }
    const auto* tool = qobject_cast<const QToolButton*>(&widget);
    return tool != nullptr && tool->defaultAction() != nullptr;
}

void mapWidget(const TextMapping& mapping, QWidget& widget)
{
    if (followsOwner(widget))
        return;
    const QString title = widget.windowTitle();
    const QString tip = widget.toolTip();
    const QString status = widget.statusTip();
    remap(mapping, title, [&widget](const QString& t) { widget.setWindowTitle(t); });
    remap(mapping, tip, [&widget](const QString& t) { widget.setToolTip(t); });
    remap(mapping, status, [&widget](const QString& t) { widget.setStatusTip(t); });
    mapWidgetKind(mapping, widget);
}

} // namespace

void mapWidgetTexts(QWidget& root, const TextMapping& mapping)
{
    // Collected first, so nothing created while mapping is visited; guarded, because setting a
    // text may delete internal objects (a text document's layout) collected with the others.
    std::vector<QPointer<QObject>> owned;
    for (QObject* object : root.findChildren<QObject*>())
        owned.emplace_back(object);
    mapWidget(mapping, root);
    for (const QPointer<QObject>& object : owned) {
        if (object.isNull())
            continue;
        if (auto* widget = qobject_cast<QWidget*>(object))
            mapWidget(mapping, *widget);
        else if (auto* action = qobject_cast<QAction*>(object))
            mapAction(mapping, *action);
    }
}

} // namespace orvane
