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
        button->setToolTip("Copy tip");
        combo->addItems({"1:One", "2:Two"});
        combo->setCurrentIndex(1);
        editable->setEditable(true);
        editable->addItems({"x", "y"});
        tabs->addTab(new QWidget, "Lines");
        tabs->addTab(new QWidget, "Notes");
        tabs->setTabToolTip(0, "Lines tip");
        tool->setDefaultAction(action);
        table->setHorizontalHeaderLabels({"Item"});
        table->setItem(0, 0, new QTableWidgetItem("cell"));
        auto* layout = new QVBoxLayout(&form);
        for (QWidget* w :
             std::initializer_list<QWidget*>{label, button, edit, combo, editable, spin, tabs, memo, tool, table})
            layout->addWidget(w);
    }

    QWidget form;
    QLabel* label = new QLabel("Customer", &form);
    QPushButton* button = new QPushButton("Copy", &form);
    QLineEdit* edit = new QLineEdit("typed", &form);
    QComboBox* combo = new QComboBox(&form);
    QComboBox* editable = new QComboBox(&form);
    QSpinBox* spin = new QSpinBox(&form);
    QTabWidget* tabs = new QTabWidget(&form);
    QPlainTextEdit* memo = new QPlainTextEdit("line 1\nline 2", &form);
    QMenu* menu = (new QMenuBar(&form))->addMenu("File");
    QAction* action = menu->addAction("Confirm");
    QToolButton* tool = new QToolButton(&form);
    QTableWidget* table = new QTableWidget(1, 1, &form);
};

TEST(WidgetTextsTest, EveryTextIsMappedExactlyOnce)
{
    SampleForm s;
    s.spin->setSpecialValueText("none");
    const QString spinText = s.spin->findChild<QLineEdit*>()->text();
    ASSERT_FALSE(spinText.isEmpty());
    mapWidgetTexts(s.form, [](const QString& text) { return "<" + text + ">"; });

    const std::pair<QString, const char*> expected[] = {
        {s.form.windowTitle(), "<Order>"},
        {s.label->text(), "<Customer>"},
        {s.button->text(), "<Copy>"},
        {s.button->toolTip(), "<Copy tip>"},
        {s.edit->text(), "<typed>"},
        {s.combo->itemText(1), "<2:Two>"},
        {s.editable->currentText(), "<x>"},
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
