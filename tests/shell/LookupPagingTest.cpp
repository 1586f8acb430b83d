// The lookup window over the real lookup component and the embedded server: the demonstration
// company's four customers in pages of two, fetched as the user moves to the end.
#include "shell/LookupDialog.h"
#include "shell/QtShellWindows.h"
#include "support/DemoHost.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

// The lookup window over the real lookup component and server: the demonstration company's
// seven customers in pages of two.
class LookupPagingTest : public DemoHostTest<QtShellWindows> {
protected:
    // The customer code chosen in the window after action, or unassigned for none.
    Variant chooseCustomer(std::function<void(LookupDialog&)> action)
    {
        onWindow<LookupDialog>(dialogs, std::move(action));
        std::vector<Variant> args{LookupRequest{.table = "COPMA", .kind = "01", .page = LookupPage{0, 2}}.toVariant()};
        const Variant answer = component("Com_F2Window")->invoke("F2GetData", args);
        return answer.isUnassigned() ? Variant() : LookupAnswer::fromVariant(answer).rows.at(0).at(0);
    }

    ScriptedDialogs dialogs;
};

TEST_F(LookupPagingTest, EndPageDownOnTheLastRowAndScrollingToTheEndFetchTheNextPage)
{
    std::vector<int> rows;
    EXPECT_EQ(chooseCustomer([&](LookupDialog& window) {
                  QTableWidget& table = window.table();
                  window.resize(320, 110); // the rows do not fit: going to the last one scrolls
                  QApplication::processEvents();
                  // To the page's last row, then each time the next page and its last row, and
                  // once more when no more rows follow.
                  for (int i = 0; i < 5; ++i) {
                      QTest::keyClick(&table, Qt::Key_End);
                      rows.push_back(table.rowCount());
                      EXPECT_EQ(table.currentRow(), table.rowCount() - 1);
                  }
                  QTest::keyClick(&table, Qt::Key_Return);
              }),
              Variant("C007"));

    // Page Down on the last row, and scrolling to the end.
    EXPECT_EQ(chooseCustomer([&](LookupDialog& window) {
                  QTest::keyClick(&window.table(), Qt::Key_PageDown);
                  QTest::keyClick(&window.table(), Qt::Key_PageDown);
                  rows.push_back(window.table().rowCount());
                  QTest::keyClick(&window, Qt::Key_Escape);
              }),
              Variant());
    EXPECT_EQ(chooseCustomer([&](LookupDialog& window) {
                  window.resize(320, 110);
                  QApplication::processEvents();
                  QScrollBar& bar = *window.table().verticalScrollBar();
                  ASSERT_GT(bar.maximum(), 0) << "two rows must not fit";
                  bar.setValue(bar.maximum());
                  rows.push_back(window.table().rowCount());
                  QTest::keyClick(&window.table(), Qt::Key_Escape);
              }),
              Variant());
    EXPECT_EQ(rows, (std::vector<int>{2, 4, 6, 7, 7, 4, 4}));
}

// The window shows a date column in the company's style (SYS001 1, SYS002 "/"), not as stored.
TEST_F(LookupPagingTest, DatesShowInTheCompanysStyle)
{
    QString shown;
    onWindow<LookupDialog>(dialogs, [&](LookupDialog& window) {
        shown = window.table().item(0, 2)->text();
        QTest::keyClick(&window.table(), Qt::Key_Escape);
    });
    std::vector<Variant> args{LookupRequest{.table = "CMSMG", .kind = "01", .keys = Variant("JPY")}.toVariant()};
    component("Com_F2Window")->invoke("F2GetData", args);
    EXPECT_EQ(shown, "2024/01/01");
}

} // namespace
} // namespace orvane::test
