#include "ui/WidgetTexts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

// A form with one of every kind of text the mapping covers; the texts a combo box or a spin box
// and a tool button take from their owner are mapped once, through the owner.
TEST(WidgetTextsTest, EveryTextIsMappedExactlyOnce)
{
    QWidget form;
    form.setWindowTitle("Order");
    auto* label = new QLabel("Customer", &form);
    auto* button = new QPushButton("Copy", &form);
    button->setToolTip("Copy tip");
    auto* edit = new QLineEdit("typed", &form);
    auto* combo = new QComboBox(&form);
    combo->addItems({"1:One", "2:Two"});
    combo->setCurrentIndex(1);
    auto* editable = new QComboBox(&form);
    editable->setEditable(true);
    editable->addItems({"x", "y"});
    auto* spin = new QSpinBox(&form);
    spin->setSpecialValueText("none");
    const QString spinText = spin->findChild<QLineEdit*>()->text();
    ASSERT_FALSE(spinText.isEmpty());
    auto* tabs = new QTabWidget(&form);
    tabs->addTab(new QWidget, "Lines");
    tabs->addTab(new QWidget, "Notes");
    tabs->setTabToolTip(0, "Lines tip");
    auto* memo = new QPlainTextEdit("line 1\nline 2", &form);
    QMenu* menu = (new QMenuBar(&form))->addMenu("File");
    QAction* action = menu->addAction("Confirm");
    auto* tool = new QToolButton(&form);
    tool->setDefaultAction(action);
    auto* table = new QTableWidget(1, 1, &form);
    table->setHorizontalHeaderLabels({"Item"});
    table->setItem(0, 0, new QTableWidgetItem("cell"));
    mapWidgetTexts(form, [](const QString& text) { return "<" + text + ">"; });

    const std::pair<QString, const char*> expected[] = {
        {form.windowTitle(), "<Order>"},
        {label->text(), "<Customer>"},
        {button->text(), "<Copy>"},
        {button->toolTip(), "<Copy tip>"},
        {edit->text(), "<typed>"},
        {combo->itemText(1), "<2:Two>"},
        {editable->currentText(), "<x>"},
        {tabs->tabText(1), "<Notes>"},
        {tabs->tabToolTip(0), "<Lines tip>"},
        {memo->toPlainText(), "<line 1\nline 2>"},
        {menu->title(), "<File>"},
        {action->text(), "<Confirm>"},
        {tool->text(), "<Confirm>"},
        {table->horizontalHeaderItem(0)->text(), "<Item>"},
        {table->item(0, 0)->text(), "<cell>"},
    };
    for (const auto& [actual, wanted] : expected)
        EXPECT_EQ(actual, QString::fromUtf8(wanted));
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(spin->findChild<QLineEdit*>()->text(), spinText);
}

} // namespace
} // namespace orvane::test
