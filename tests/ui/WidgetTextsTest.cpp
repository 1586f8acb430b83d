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
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

// A form with one of every kind of text the mapping covers.
struct SampleForm {
    SampleForm()
    {
        form.setWindowTitle("Order");
        form.setToolTip("form tip");
        auto* layout = new QVBoxLayout(&form);
        label = new QLabel("Customer", &form);
        button = new QPushButton("Copy", &form);
        button->setToolTip("Copy tip");
        edit = new QLineEdit("typed", &form);
        combo = new QComboBox(&form);
        combo->addItems({"1:One", "2:Two"});
        combo->setCurrentIndex(1);
        editable = new QComboBox(&form);
        editable->setEditable(true);
        editable->addItems({"x", "y"});
        spin = new QSpinBox(&form);
        tabs = new QTabWidget(&form);
        tabs->addTab(new QWidget, "Lines");
        tabs->addTab(new QWidget, "Notes");
        tabs->setTabToolTip(0, "Lines tip");
        memo = new QPlainTextEdit("line 1\nline 2", &form);
        auto* menuBar = new QMenuBar(&form);
        menu = menuBar->addMenu("File");
        action = menu->addAction("Confirm");
        tool = new QToolButton(&form);
        tool->setDefaultAction(action);
        table = new QTableWidget(1, 1, &form);
        table->setHorizontalHeaderLabels({"Item"});
        table->setItem(0, 0, new QTableWidgetItem("cell"));
        for (QWidget* w :
             std::initializer_list<QWidget*>{label, button, edit, combo, editable, spin, tabs, memo, tool, table})
            layout->addWidget(w);
    }

    QWidget form;
    QLabel* label;
    QPushButton* button;
    QLineEdit* edit;
    QComboBox* combo;
    QComboBox* editable;
    QSpinBox* spin;
    QTabWidget* tabs;
    QPlainTextEdit* memo;
    QMenu* menu;
    QAction* action;
    QToolButton* tool;
    QTableWidget* table;
};

QString bracket(const QString& text)
{
    return "<" + text + ">";
}

TEST(WidgetTextsTest, EveryTextIsMappedExactlyOnce)
{
    SampleForm s;
    s.spin->setSpecialValueText("none");
    const QString spinText = s.spin->findChild<QLineEdit*>()->text();
    ASSERT_FALSE(spinText.isEmpty());
    mapWidgetTexts(s.form, bracket);

    const std::pair<QString, const char*> expected[] = {
        {s.form.windowTitle(), "<Order>"},
        {s.form.toolTip(), "<form tip>"},
        {s.label->text(), "<Customer>"},
        {s.button->text(), "<Copy>"},
        {s.button->toolTip(), "<Copy tip>"},
        {s.edit->text(), "<typed>"},
        {s.combo->itemText(1), "<2:Two>"},
        {s.editable->currentText(), "<x>"},
        {s.editable->lineEdit()->text(), "<x>"},
        {s.tabs->tabText(1), "<Notes>"},
        {s.tabs->tabToolTip(0), "<Lines tip>"},
        {s.memo->toPlainText(), "<line 1\nline 2>"},
        {s.menu->title(), "<File>"},
        {s.action->text(), "<Confirm>"},
        {s.tool->text(), "<Confirm>"},
        {s.table->horizontalHeaderItem(0)->text(), "<Item>"},
        {s.table->item(0, 0)->text(), "<cell>"},
    };
    for (const auto& [actual, wanted] : expected)
        EXPECT_EQ(actual, QString::fromUtf8(wanted));
    EXPECT_EQ(s.combo->currentIndex(), 1);
    EXPECT_EQ(s.spin->findChild<QLineEdit*>()->text(), spinText);
}

} // namespace
} // namespace orvane::test
