// A clerk's whole order typed key by key into the real order window offscreen, over the embedded
// demonstration server: add, the head typed with the customer picked by F2, three lines of which
// one in a second unit, its quantity still in the cell's editor at F12 (the window goes on to the
// next order, which is cancelled), then on the saved order: confirm with the credit check
// passing, unconfirm, void.
#include "OrderWindowFixture.h"

#include "controls/DBGrid.h"
#include "salesorder/Tavi52CD.h"

#include <QApplication>

namespace orvane::test {
namespace {

class OrderCycleTest : public OrderWindowFixture<OrderTestWindow> {
protected:
    std::string head(const char* field) const { return form->orderModule()->cdsMain.fieldByName(field).asString(); }
    // A key as a clerk presses it: to the control with the focus, what it posted (a cell editor
    // closes after Enter) handled before the next key.
    static void key(Qt::Key pressed)
    {
        QTest::keyClick(QApplication::focusWidget(), pressed);
        QCoreApplication::processEvents();
    }
    // Keys typed into a cell of the current line: the first key opens the cell's editor, Enter
    // (unless left out) writes the field.
    void typeCell(const char* field, const char* keys, bool enter = true) const
    {
        DBGrid& grid = *form->gdBody1;
        grid.setFocus();
        grid.setSelectedFieldName(QLatin1String(field));
        QTest::keyClick(&grid, keys[0]);
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(editor, &grid) << "no editor opened on " << field;
        QTest::keyClicks(editor, QString::fromLatin1(keys + 1));
        if (enter)
            key(Qt::Key_Return);
    }
    // A new line typed after Down: item, quantity and, when given, its unit.
    void typeLine(const char* item, const char* quantity, const char* unit = nullptr) const
    {
        if (!form->gdBody1->isAncestorOf(QApplication::focusWidget()))
            form->gdBody1->setFocus();
        key(Qt::Key_Down);
        typeCell("TD004", item);
        if (unit != nullptr)
            typeCell("TD010", unit);
        typeCell("TD008", quantity);
    }
    void click(QToolButton* button) const
    {
        ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

TEST_F(OrderCycleTest, AnOrderTypedKeyByKeyIsSavedConfirmedUnconfirmedAndVoided)
{
    click(form->btnAdd);
    typeAndEnter(*form->edTC001, QStringLiteral("2202")); // numbered by month, no sign-off flow: confirmed here
    typeAndEnter(*form->edTC039, QStringLiteral("20250301"));
    lookups.choose(0); // the customer list F2 opens
    form->edTC004->setFocus();
    QTest::keyClicks(form->edTC004, QStringLiteral("C001"));
    QTest::keyClick(form->edTC004, Qt::Key_F2);
    EXPECT_EQ(head("TC004"), "C001");
    EXPECT_EQ(head("TC008"), "RMB") << "the customer's defaults";

    typeLine("A100", "10");
    typeLine("A200", "4");
    key(Qt::Key_Down);
    typeCell("TD004", "A100");
    typeCell("TD010", "CTN");
    typeCell("TD008", "25", false); // F12 straight after: the save writes the cell
    EXPECT_EQ(lookups.shown(), 1u) << "the chosen customer is not looked up again, nor on leaving its edit";
    ClientDataSet& lines = form->orderModule()->cdsBody1;

    key(Qt::Key_F12);
    const std::string number = form->NewNumber;
    ASSERT_FALSE(number.empty()) << "numbered by the server: " << lastMessage();
    EXPECT_EQ(form->recordMode(), RecordMode::Add) << "on to the next order";
    click(form->btnCancel);
    form->lastCondition = "TC002 = '" + number + "'";
    form->RunQuery();
    ASSERT_EQ(form->recordMode(), RecordMode::Browse);
    EXPECT_EQ(lines.recordCount(), 3);
    lines.last();
    EXPECT_EQ(lines.fieldByName("TD010").asString(), "CTN");
    EXPECT_EQ(lines.fieldByName("TD008").asFloat(), 25);
    EXPECT_GT(lines.fieldByName("TD012").asFloat(), 0) << "priced in its unit";

    click(form->btnConfirm);
    EXPECT_EQ(head("TC027"), "Y") << "within C001's credit";
    click(form->btnUnConfirm);
    EXPECT_EQ(head("TC027"), "N");

    dialogs->queueAnswer(DialogAnswer::Cancel);
    click(form->btnInvalid);
    EXPECT_EQ(head("TC027"), "N");
    EXPECT_FALSE(form->btnInvalid->isChecked()) << "a void declined leaves the button as the order is";
    dialogs->queueAnswer(DialogAnswer::Ok);
    click(form->btnInvalid);
    EXPECT_EQ(head("TC027"), "V");
    EXPECT_EQ(head("TC002"), number);
}

} // namespace
} // namespace orvane::test
