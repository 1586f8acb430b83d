// The lookup window and the date input behind the shell's components, driven by scripted
// modal actions (keys and clicks as a user would give them); the lookup window's paging over
// the real server.
#include "shell/DateInputDialog.h"
#include "shell/LoginDialog.h"
#include "shell/LookupDialog.h"
#include "shell/QtShellWindows.h"
#include "support/DemoHost.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

using Row = std::vector<Variant>;

LookupList customers()
{
    return {LookupRequest{.table = "COPMA", .kind = "01"},
            LookupAnswer{gbk("客户代号$C;简称$C;信用额度$N"),
                         {{"C001", gbk("甲公司"), 1000}, {"C002", gbk("乙公司"), 2500}, {"C003", gbk("丙公司"), 0}}},
            {}};
}

template <typename Window>
void onWindow(ScriptedDialogs& dialogs, std::function<void(Window&)> action)
{
    dialogs->queueModalAction([action](QWidget& shown) {
        auto* window = dynamic_cast<Window*>(&shown);
        ASSERT_NE(window, nullptr) << "the modal window is a " << shown.metaObject()->className();
        action(*window);
    });
}

// The shell's windows with every modal window scripted.
class ShellWindowsTest : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
    QtShellWindows windows;
};
using LookupWindowTest = ShellWindowsTest;
using DateInputTest = ShellWindowsTest;

TEST_F(LookupWindowTest, EnterChoosesTheCurrentRow)
{
    QStringList headers;
    onWindow<LookupDialog>(dialogs, [&](LookupDialog& window) {
        for (int c = 0; c < window.table().columnCount(); ++c)
            headers << window.table().horizontalHeaderItem(c)->text();
        QTest::keyClick(&window.table(), Qt::Key_Down);
        QTest::keyClick(&window.table(), Qt::Key_Return);
    });
    EXPECT_EQ(windows.chooseLookupRow(customers()), (Row{"C002", gbk("乙公司"), 2500}));
    EXPECT_EQ(headers, (QStringList{"客户代号", "简称", "信用额度"}));
}

TEST_F(LookupWindowTest, DoubleClickChoosesTheClickedRow)
{
    onWindow<LookupDialog>(dialogs, [](LookupDialog& window) {
        QTableWidget& table = window.table();
        const QRect cell = table.visualItemRect(table.item(2, 1));
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    });
    EXPECT_EQ(windows.chooseLookupRow(customers()), (Row{"C003", gbk("丙公司"), 0}));
}

TEST_F(LookupWindowTest, EscapeChoosesNothing)
{
    onWindow<LookupDialog>(dialogs, [](LookupDialog& window) {
        QTest::keyClick(&window.table(), Qt::Key_Down);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    EXPECT_EQ(windows.chooseLookupRow(customers()), std::nullopt);
}

TEST_F(LookupWindowTest, EnterOnAnEmptyListChoosesNothing)
{
    onWindow<LookupDialog>(dialogs, [](LookupDialog& window) { QTest::keyClick(&window.table(), Qt::Key_Return); });
    LookupList empty = customers();
    empty.page.rows.clear();
    EXPECT_EQ(windows.chooseLookupRow(empty), std::nullopt);
}

TEST(LookupDialog, ColumnLabelsAreTheTextsBeforeEachKind)
{
    EXPECT_EQ(LookupDialog::columnLabels(gbk("代号$C;名称$C;")), (QStringList{"代号", "名称"}));
    EXPECT_EQ(LookupDialog::columnLabels(gbk("代号;数量$N")), (QStringList{"代号", "数量"}));
    EXPECT_EQ(LookupDialog::columnLabels(""), QStringList());
}

TEST(LookupDialog, RowsWiderThanTheSpecificationKeepTheirExtraColumns)
{
    LookupList list{{}, LookupAnswer{gbk("代号$C"), {{"A", "extra"}, {"B"}, {}}}, {}};
    LookupDialog window(list);
    EXPECT_EQ(window.table().columnCount(), 2);
    EXPECT_EQ(window.table().rowCount(), 3);
    EXPECT_EQ(window.table().item(0, 1)->text(), "extra");
    EXPECT_EQ(window.table().item(1, 0)->text(), "B");
}

// The lookup window over the real lookup component and server: the demonstration company's
// four customers in pages of two.
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

TEST_P(LookupPagingTest, EndOnTheLastRowFetchesTheNextPage)
{
    std::vector<int> rows;
    EXPECT_EQ(chooseCustomer([&](LookupDialog& window) {
                  QTableWidget& table = window.table();
                  QTest::keyClick(&table, Qt::Key_End); // to the page's last row
                  rows.push_back(table.rowCount());
                  QTest::keyClick(&table, Qt::Key_End); // the next page, and its last row
                  rows.push_back(table.rowCount());
                  QTest::keyClick(&table, Qt::Key_End); // no more rows follow
                  rows.push_back(table.rowCount());
                  QTest::keyClick(&table, Qt::Key_Return);
              }),
              Variant("C004"));
    EXPECT_EQ(rows, (std::vector<int>{2, 4, 4}));
}

TEST_P(LookupPagingTest, PageDownOnTheLastRowAndScrollingToTheEndFetchTheNextPage)
{
    int rows = 0;
    EXPECT_EQ(chooseCustomer([&](LookupDialog& window) {
                  QTest::keyClick(&window.table(), Qt::Key_PageDown);
                  QTest::keyClick(&window.table(), Qt::Key_PageDown);
                  rows = window.table().rowCount();
                  QTest::keyClick(&window, Qt::Key_Escape);
              }),
              Variant());
    EXPECT_EQ(rows, 4);

    EXPECT_EQ(chooseCustomer([&](LookupDialog& window) {
                  window.resize(320, 110);
                  QApplication::processEvents();
                  QScrollBar& bar = *window.table().verticalScrollBar();
                  ASSERT_GT(bar.maximum(), 0) << "two rows must not fit";
                  bar.setValue(bar.maximum());
                  rows = window.table().rowCount();
                  QTest::keyClick(&window.table(), Qt::Key_Escape);
              }),
              Variant());
    EXPECT_EQ(rows, 4);
}

INSTANTIATE_TEST_SUITE_P(Embedded, LookupPagingTest, ::testing::Values(Road::Embedded), roadName);

TEST_F(DateInputTest, EnterTakesTheSelectedDate)
{
    onWindow<DateInputDialog>(dialogs, [](DateInputDialog& window) {
        EXPECT_EQ(window.calendar().selectedDate(), QDate(2024, 2, 28));
        QWidget* days = window.calendar().focusProxy();
        ASSERT_NE(days, nullptr);
        QTest::keyClick(days, Qt::Key_Right); // the next day
        QTest::keyClick(days, Qt::Key_Return);
    });
    EXPECT_EQ(windows.inputDay("20240228"), "20240229");
}

TEST_F(DateInputTest, EscapeKeepsTheGivenDate)
{
    onWindow<DateInputDialog>(dialogs, [](DateInputDialog& window) {
        window.calendar().setSelectedDate(QDate(2030, 1, 1));
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    EXPECT_EQ(windows.inputDay("20240228"), "20240228");
}

TEST_F(DateInputTest, ANonDateStartsOnTodayAndAnswersTheTakenDate)
{
    QDate started;
    onWindow<DateInputDialog>(dialogs, [&](DateInputDialog& window) {
        started = window.calendar().selectedDate();
        ASSERT_NE(window.calendar().focusProxy(), nullptr);
        QTest::keyClick(window.calendar().focusProxy(), Qt::Key_Enter);
    });
    const std::string answer = windows.inputDay("2024-13-45");
    EXPECT_EQ(started, QDate::currentDate());
    EXPECT_EQ(answer, started.toString("yyyyMMdd").toStdString());
}

TEST(LoginDialog, HandsOverTheTypedCredentialsAndForgetsThePassword)
{
    LoginDialog window;
    window.setIdentity("ZT", "PRTest50");
    window.userEdit().setText(QStringLiteral(" 张伟 "));
    window.passwordEdit().setText(QStringLiteral("秘密 pw"));
    const ServerCredentials credentials = window.takeCredentials();
    EXPECT_EQ(credentials.user, gbk("张伟"));
    EXPECT_EQ(credentials.companyId, "PRTest50");
    EXPECT_EQ(credentials.password, gbk("秘密 pw"));
    EXPECT_TRUE(window.passwordEdit().text().isEmpty());
    EXPECT_EQ(window.takeCredentials().password, "");
}

} // namespace
} // namespace orvane::test
