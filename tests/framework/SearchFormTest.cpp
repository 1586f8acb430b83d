// The lookup window over the real embedded server: a long list held one window at a time, the
// messages of an empty list and an unknown kind, narrowing by typing, an inquiry with lines,
// drill-down through its links, Enter choosing a row, and the F2 phrase insertion of a free-text
// field.
#include "framework/CommonPhrases.h"
#include "framework/ProgramHost.h"
#include "framework/SearchCF.h"

#include "support/LocalText.h"
#include "support/ScriptedDialogs.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace orvane::test {
namespace {

constexpr int demoCustomers = 7;
constexpr int addedCustomers = 2500;

class SearchFormTest : public ModuleHostTest {
protected:
    void SetUp() override
    {
        ModuleHostTest::SetUp();
        signIn(brokers);
        brokers.setHostObject(hostObject());
        ASSERT_TRUE(brokers.AcquireComponents());
        brokers.LoadSystemParameters();
    }
    void TearDown() override
    {
        window.reset();
        ModuleHostTest::TearDown();
    }

    bool open(std::string_view table, std::string_view kind, const Variant& keys, std::string_view bodyKind = {},
              std::string_view bodyField = {})
    {
        window = std::make_unique<TfrmSearch>(brokers, owner);
        return window->Open(brokers.searchRequest(table, kind, keys, Variant(std::string()), bodyKind, bodyField));
    }
    std::string current(std::string_view field) const { return window->cdsMain().fieldByName(field).asString(); }

    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmSearch> window;
};

TEST_F(SearchFormTest, LongListIsHeldOneWindowAtATimeAndTypingNarrowsTheRowsHeldOnly)
{
    const auto db = companyDatabase();
    const auto insert = db->prepare("INSERT INTO \"PRTest50\".COPMA (COMPANY, FLAG, MA001, MA002, MA003) VALUES "
                                    "('PRTest50', 1, ?, ?, ?)");
    db->execute("BEGIN");
    for (int i = 1; i <= addedCustomers; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "K%05d", i);
        const Variant row[] = {code, std::string("Shop ") + code, std::string("Trading ") + code};
        insert->run(row);
    }
    db->execute("COMMIT");
    ASSERT_TRUE(open("COPMA", "01", Variant()));
    ClientDataSet& rows = window->cdsMain();
    EXPECT_EQ(rows.recordCount(), TfrmSearch::windowRows);
    EXPECT_EQ(window->columnSpecification().substr(0, 10), gbk("客户编号$;"));

    // Down on the last row held brings the next window in place of this one.
    rows.last();
    const std::string lastHeld = current("MA001");
    QTest::keyClick(window->findChild<QWidget*>("gdMain"), Qt::Key_Down);
    EXPECT_EQ(window->windowStart(), TfrmSearch::windowRows);
    EXPECT_LE(rows.recordCount(), TfrmSearch::windowRows);
    EXPECT_GT(current("MA001"), lastHeld);
    // Up on its first row brings the window before back, standing on the row before.
    QTest::keyClick(window->findChild<QWidget*>("gdMain"), Qt::Key_Up);
    EXPECT_EQ(window->windowStart(), 0);
    EXPECT_EQ(current("MA001"), lastHeld);

    // The last window is full: the last rows of the list, ending with the last customer.
    window->btnLastClick();
    EXPECT_EQ(current("MA001"), "K02500");
    EXPECT_EQ(rows.recordCount(), TfrmSearch::windowRows);
    EXPECT_EQ(window->windowStart(), demoCustomers + addedCustomers - TfrmSearch::windowRows);
    // Page Up on the first row of a window that starts within the list's first 1,000 rows.
    // Page Up on the first row of a later window, then Up on the first row of a window that
    // starts within the list's first 1,000 rows: the rows before, on the row before.
    rows.first();
    QTest::keyClick(window->findChild<QWidget*>("gdMain"), Qt::Key_PageUp);
    EXPECT_EQ(window->windowStart(), demoCustomers + addedCustomers - 2 * TfrmSearch::windowRows);
    EXPECT_EQ(current("MA001"), "K01500");
    rows.first();
    QTest::keyClick(window->findChild<QWidget*>("gdMain"), Qt::Key_Up);
    EXPECT_EQ(window->windowStart(), 0);
    EXPECT_EQ(rows.recordCount(), TfrmSearch::windowRows);
    EXPECT_EQ(current("MA001"), "K00500");

    window->btnFirstClick();
    EXPECT_EQ(window->windowStart(), 0);
    EXPECT_EQ(current("MA001"), "C001");

    // Typing narrows the rows held only.
    auto* filter = window->findChild<QLineEdit*>("edFilter");
    QTest::keyClicks(filter, "k0012");
    EXPECT_EQ(window->cdsMain().recordCount(), 10) << "K00120..K00129";
    // A code beyond the window is not fetched for the filter.
    filter->setText("K02400");
    EXPECT_EQ(window->cdsMain().recordCount(), 0);
    filter->clear();
    EXPECT_EQ(window->cdsMain().recordCount(), TfrmSearch::windowRows);
    EXPECT_EQ(window->windowStart(), 0);
}

TEST_F(SearchFormTest, EmptyListUnknownKindAndNoServerCloseWithTheirMessage)
{
    EXPECT_FALSE(open("COPMA", "01", Variant::arrayOf({"NOSUCHCUSTOMER"})));
    EXPECT_FALSE(open("COPMA", "99", Variant()));
    EXPECT_FALSE(open("COPTC", "64", Variant::arrayOf({"2201", "2501200001"}), "69", "TD003"))
        << "a line kind the service does not have";
    ServerConnector::install(nullptr);
    EXPECT_TRUE(open("COPMA", "01", Variant())) << "the form's lookup connection is kept";
    brokers.searchService() = Variant();
    EXPECT_FALSE(open("COPMA", "01", Variant()));
    const QString unknown = QStringLiteral("开窗种类指定错误");
    const auto& messages = dialogs->shownMessages();
    ASSERT_EQ(messages.size(), 4U);
    EXPECT_EQ(messages[0].text, QStringLiteral("没有任何符合的信息."));
    EXPECT_EQ(messages[1].text, unknown);
    EXPECT_EQ(messages[2].text, unknown);
    EXPECT_TRUE(messages[3].text.contains(QStringLiteral("no server connector"))) << messages[3].text.toStdString();
    EXPECT_TRUE(window->ResultRow().empty());
}

TEST_F(SearchFormTest, ANumberColumnTakesALaterRowsMissingValueAndSalesStatusShowsTheDeliveriesOfTheCurrentLine)
{
    // A null (as an outer join gives) reaches the client as empty text.
    companyDatabase()->execute(
        "INSERT INTO \"PRTest50\".CMSMG (COMPANY, FLAG, MG001, MG002, MG003) VALUES ('PRTest50', 1, "
        "'ZZZ', '20250101', NULL)");
    ASSERT_TRUE(open("CMSMG", "01", Variant()));
    window->cdsMain().last();
    EXPECT_EQ(current("MG001"), "ZZZ");
    EXPECT_TRUE(window->cdsMain().fieldByName("MG003").value().isNull());

    const Variant order = Variant::arrayOf({"2201", "2501200001"});
    ASSERT_TRUE(open("COPTC", "64", order, "65", "TD003"));
    EXPECT_EQ(current("TD003"), "0001");
    EXPECT_DOUBLE_EQ(window->cdsMain().fieldByName("TD008C").asFloat(), 20.0);
    ClientDataSet& lines = window->cdsbody();
    ASSERT_EQ(lines.recordCount(), 2);
    EXPECT_EQ(lines.fieldByName("TF005").displayText(), "2025/01/25");
    EXPECT_EQ(lines.fieldCount(), 7);

    ASSERT_TRUE(open("COPTC", "64", order, "66", "TD003"));
    EXPECT_EQ(window->cdsbody().fieldCount(), 4) << "no package quantities or prices";
    EXPECT_EQ(window->dateColumns(), std::vector<std::string>{"TD013"});
}

TEST_F(SearchFormTest, DoubleClickOpensTheLinkedOrderAndEnterChoosesTheRow)
{
    const SearchRequest deposits = brokers.searchRequest("COPTC", "67", Variant::arrayOf({"2201", "2501200001"}));
    dialogs->queueModalAction([](QWidget& shown) {
        auto& search = static_cast<TfrmSearch&>(shown);
        search.gdMainDblClick();
        QTest::keyClick(shown.findChild<QWidget*>("gdMain"), Qt::Key_Return);
    });
    const auto chosen = TfrmSearch::Choose(nullptr, brokers, owner, deposits);
    EXPECT_EQ(launcher.started, std::vector<std::string>{"TAVI52"});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ((*chosen)[0], Variant("2201"));
    EXPECT_EQ((*chosen)[1], Variant("2501200001"));
    EXPECT_TRUE(owner.messages.empty());

    launcher.answer = -1;
    ASSERT_TRUE(open("COPTC", "67", deposits.request.keys));
    window->gdMainDblClick();
    const std::vector<std::pair<std::string, std::string>> refused{{"E200139", gbk("TAVI52-客户订单")}};
    EXPECT_EQ(owner.messages, refused);
}

TEST_F(SearchFormTest, F2InsertsTheChosenPhraseAtTheCursor)
{
    QLineEdit remark;
    remark.setText("AB");
    remark.setCursorPosition(1);
    dialogs->queueModalAction([](QWidget& shown) {
        auto* list = shown.findChild<QListWidget*>("lstPhrase");
        ASSERT_EQ(list->count(), 5) << "the field's own, user ZT's and everybody's three";
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("按合同约定分批交货"));
        list->setCurrentRow(4);
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_TRUE(InsertCommonPhrase(brokers, remark, "TC015"));
    EXPECT_EQ(remark.text(), QStringLiteral("A包装须防潮防震B"));

    remark.setReadOnly(true);
    EXPECT_FALSE(InsertCommonPhrase(brokers, remark, "TC015"));
}

} // namespace
} // namespace orvane::test
