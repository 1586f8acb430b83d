// The lookup window, the date input and the login window behind the shell's components, driven
// by scripted modal actions (keys and clicks as a user would give them).
#include "shell/DateInputDialog.h"
#include "shell/LoginDialog.h"
#include "shell/LookupDialog.h"
#include "services/Language_Convert.h"
#include "shell/QtShellWindows.h"
#include "support/Installation.h"
#include "support/LocalText.h"
#include "support/ScriptedDialogs.h"

#include <QCalendarWidget>
#include <QDate>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

using Row = std::vector<Variant>;

// The shell's windows with every modal window scripted.
class ShellWindowsTest : public ::testing::Test {
protected:
    // The date input's answer for given after action in its window.
    std::string inputDay(const char* given, const std::function<void(DateInputDialog&)>& action)
    {
        onWindow<DateInputDialog>(dialogs, action);
        return windows.inputDay(given);
    }
    // ... after keys typed in its table of days, then Return there.
    std::string typedDay(const char* given, const std::function<void(QWidget&)>& keys)
    {
        return inputDay(given, [&](DateInputDialog& window) {
            QWidget* days = window.calendar().focusProxy();
            ASSERT_NE(days, nullptr);
            keys(*days);
            QTest::keyClick(days, Qt::Key_Return);
        });
    }

    ScriptedDialogs dialogs;
    QtShellWindows windows;
};

// A double click and Enter in the lookup window: the whole row chosen, or none; no window for an
// empty list. Enter on a row and Escape over the lookup component: LookupPagingTest.
TEST_F(ShellWindowsTest, LookupWindowChoosesTheRowTheUserTakesLabelsColumnsByTheTextsBeforeEachKindAndKeepsWiderRows)
{
    // Enter on a button the clerk tabbed to presses it.
    const auto enterOn = [](QDialogButtonBox::StandardButton which) {
        return [which](LookupDialog& window) {
            QTest::keyClick(&window.table(), Qt::Key_Down);
            QTest::keyClick(window.findChild<QDialogButtonBox*>()->button(which), Qt::Key_Return);
        };
    };
    const struct {
        const char* what;
        std::vector<std::function<void(LookupDialog&)>> actions;
        std::optional<Row> chosen;
    } cases[] = {
        {"a double click on the third row",
         {[](LookupDialog& window) {
             QTableWidget& table = window.table();
             const QRect cell = table.visualItemRect(table.item(2, 1));
             QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
             QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell.center());
         }},
         Row{"C003", gbk("丙公司"), 0}},
        {"Enter on OK", {enterOn(QDialogButtonBox::Ok)}, Row{"C002", gbk("乙公司"), 2500}},
        {"Enter on Cancel", {enterOn(QDialogButtonBox::Cancel)}, std::nullopt},
    };
    for (const auto& c : cases) {
        QStringList headers;
        onWindow<LookupDialog>(dialogs, [&](LookupDialog& window) {
            for (int column = 0; column < window.table().columnCount(); ++column)
                headers << window.table().horizontalHeaderItem(column)->text();
            for (const auto& action : c.actions)
                action(window);
        });
        LookupList list{
            LookupRequest{.table = "COPMA", .kind = "01"},
            LookupAnswer{gbk("客户代号$C;简称$C;信用额度$N"),
                         {{"C001", gbk("甲公司"), 1000}, {"C002", gbk("乙公司"), 2500}, {"C003", gbk("丙公司"), 0}}},
            {}};
        EXPECT_EQ(windows.chooseLookupRow(list), c.chosen) << c.what;
        EXPECT_EQ(headers, (QStringList{"客户代号", "简称", "信用额度"})) << c.what;
    }

    // An empty list (a typed text nothing matches) opens no window to close: the clerk is told.
    dialogs->queueModalAction([](QWidget&) { ADD_FAILURE() << "a window for an empty list"; });
    EXPECT_EQ(windows.chooseLookupRow(LookupList{{}, LookupAnswer{gbk("代号$C"), {}}, {}}), std::nullopt);
    ASSERT_EQ(dialogs->shownMessages().size(), 1U);
    EXPECT_EQ(dialogs->shownMessages()[0].text, QStringLiteral("没有任何符合的信息."));
    dialogs->clear();

    // Column labels are the texts before each kind.
    EXPECT_EQ(LookupDialog::columnLabels(gbk("代号$C;名称$C;")), (QStringList{"代号", "名称"}));
    EXPECT_EQ(LookupDialog::columnLabels(gbk("代号;数量$N")), (QStringList{"代号", "数量"}));
    EXPECT_EQ(LookupDialog::columnLabels(""), QStringList());

    // Rows wider than the column texts keep their extra columns.
    LookupList list{{}, LookupAnswer{gbk("代号$C"), {{"A", "extra"}, {"B"}, {}}}, {}};
    LookupDialog window(list);
    EXPECT_EQ(window.table().columnCount(), 2);
    EXPECT_EQ(window.table().rowCount(), 3);
    EXPECT_EQ(window.table().item(0, 1)->text(), "extra");
    EXPECT_EQ(window.table().item(1, 0)->text(), "B");
}

// Cells show as their column's kind says, dates in the list's style; a column without a label is hidden.
TEST_F(ShellWindowsTest, LookupWindowShowsCellsByTheirKindAndHidesUnlabelledColumns)
{
    const LookupList list{
        {}, LookupAnswer{gbk("日期$D;已确认$L;$;税率$%"), {{"20250115", "Y", "K1", 0.05}}}, {}, 3, "-"};
    LookupDialog window(list);
    const QTableWidget& table = window.table();
    EXPECT_EQ(table.item(0, 0)->text(), "15-01-2025");
    EXPECT_EQ(table.item(0, 1)->text(), "√");
    EXPECT_TRUE(table.isColumnHidden(2));
    EXPECT_EQ(table.item(0, 3)->text(), "5.00%");
    EXPECT_FALSE(table.isColumnHidden(3));
}

// Under a Big5 interface over GB data a title the dictionary names shows its text as it is; the
// server's other titles and its cells are converted from GB once.
TEST_F(ShellWindowsTest, LookupWindowOfABig5InterfaceShowsTheDictionarysTitlesAndTheServersConvertedOnce)
{
    TestInstallation installation;
    std::filesystem::copy(ORVANE_DICTIONARY_FOLDER, installation / "C_DATA");
    writeFile(installation / "OrvaneC.ini", "[Client Components]\nLangType=ENG\n");
    const InstallationCodePage big5Interface(text::CodePage::Big5);
    const LanguageTables tables = LanguageTables::load(ORVANE_LANGUAGE_FILE);
    LookupList list{{}, LookupAnswer{gbk("工厂$C;客户订单$C"), {{gbk("客户"), "A"}}}, {}};
    list.serverText = ServerText(tables, text::CodePage::Gbk);
    LookupDialog window(list);
    const QTableWidget& table = window.table();
    EXPECT_EQ(table.horizontalHeaderItem(0)->text(), "Factory");
    EXPECT_EQ(table.horizontalHeaderItem(1)->text(), QString::fromUtf8(u8"客戶訂單"));
    EXPECT_EQ(table.item(0, 0)->text(), QString::fromUtf8(u8"客戶"));
}

// A list narrower than the window fills it: its last column takes the room left.
TEST_F(ShellWindowsTest, LookupWindowsNarrowListFillsTheWindow)
{
    const LookupList list{{}, LookupAnswer{gbk("单别$C;名称$C"), {{"2201", "A"}}}, {}};
    LookupDialog window(list);
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.table().horizontalHeader()->length(), window.table().viewport()->width());
}

TEST_F(ShellWindowsTest, DateInputEnterTakesTheSelectedDateEscapeKeepsTheGivenOneANonDateStartsOnToday)
{
    EXPECT_EQ(typedDay("20240228", [](QWidget& days) { QTest::keyClick(&days, Qt::Key_Right); }), "20240229");
    // Another date chosen, then Escape, or Enter on a button the clerk tabbed to.
    const auto chooseThen = [this](QDialogButtonBox::StandardButton button) {
        return inputDay("20240228", [button](DateInputDialog& window) {
            window.calendar().setSelectedDate(QDate(2030, 1, 1));
            if (button == QDialogButtonBox::NoButton)
                QTest::keyClick(&window, Qt::Key_Escape);
            else
                QTest::keyClick(window.findChild<QDialogButtonBox*>()->button(button), Qt::Key_Return);
        });
    };
    EXPECT_EQ(chooseThen(QDialogButtonBox::NoButton), "20240228") << "Escape";
    EXPECT_EQ(chooseThen(QDialogButtonBox::Ok), "20300101");
    EXPECT_EQ(chooseThen(QDialogButtonBox::Cancel), "20240228");
    // A non-date starts on today; the keypad's Enter takes it.
    EXPECT_EQ(inputDay("2024-13-45",
                       [](DateInputDialog& window) { QTest::keyClick(window.calendar().focusProxy(), Qt::Key_Enter); }),
              QDate::currentDate().toString("yyyyMMdd").toStdString());
}

// Digits typed in the calendar (a month with its leading zero made the calendar jump to 4714 BC,
// which the same Enter took as "-47141125"), and paging before year 1: every answer is a
// YYYYMMDD date.
TEST_F(ShellWindowsTest, DateInputAnswersOnlyDatesAFieldStores)
{
    EXPECT_EQ(typedDay("20240228", [](QWidget& days) { QTest::keyClicks(&days, "15022024"); }), "20240228");
    EXPECT_EQ(typedDay("20240228", [](QWidget& days) { QTest::keyClicks(&days, "20240230"); }), "20240228");
    EXPECT_EQ(typedDay("00010215",
                       [](QWidget& days) {
                           for (int month = 0; month < 3; ++month)
                               QTest::keyClick(&days, Qt::Key_PageUp);
                       }),
              "00010101");
}

TEST_F(ShellWindowsTest, LoginDialogHandsOverTheTypedCredentialsAndForgetsThePassword)
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
}

} // namespace
} // namespace orvane::test
