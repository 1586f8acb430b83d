// The order head's checks over the demonstration server (embedded), message boxes answered by
// the test: numbering by type and date, the customer's defaults and refusals, tax types,
// currencies and dated rates, and lookups that find nothing; with the round trips they cost.
#include "OrderModuleFixture.h"

#include "support/CountingHost.h"

namespace orvane::test {
namespace {

// The order window's side: what the checks asked of it.
class RecordingHeadWindow : public TdmTavi52::HeadWindow {
public:
    void documentKindChanged(std::string_view value) override { kind = value; }
    void setSaveConfirmation(int /*confirm*/, bool /*hook*/) override {}
    void focusHeadField(std::string_view field) override { focused = field; }
    void showMarkPicture(std::string_view /*field*/, const std::string& /*file*/) override {}
    void refreshMarks() override {}

    std::string kind, focused;
};

using HeadCheckCodes = std::vector<std::string>;

class OrderHeadChecksTest : public OrderModuleFixture {
protected:
    void SetUp() override
    {
        OrderModuleFixture::SetUp();
        if (HasFatalFailure())
            return;
        module.setHeadWindow(&window);
        module.setToday("20250301");
        addOrder();
    }
    Variant moduleHost() override
    {
        counting = std::make_shared<CountingHost>(host);
        return Variant(DispatchPtr(counting));
    }
    Field& head(std::string_view name) { return module.cdsMain.fieldByName(name); }
    std::string text(std::string_view name) { return head(name).asString(); }
    // Types text into a head field; false when a check refused it.
    bool type(std::string_view name, std::string_view value)
    {
        return accepted([&] { head(name).setText(value); });
    }

    RecordingHeadWindow window;
    std::shared_ptr<CountingHost> counting;
};

TEST_F(OrderHeadChecksTest, TheTypeNumbersTheOrderAndADateChangeRenumbersOnlyWhileAdding)
{
    ASSERT_TRUE(type("TC001", "2201"));
    EXPECT_EQ(window.kind, "22");
    EXPECT_EQ(window.focused, "TC039");
    EXPECT_EQ(text("TC048"), "0") << "2201 goes to sign-off";
    EXPECT_EQ(text("TC002").substr(0, 6), "250301");

    EXPECT_FALSE(type("TC039", "20191231")) << "before the first open month";
    EXPECT_TRUE(type("TC039", "20200101"));
    EXPECT_EQ(text("TC002").substr(0, 6), "200101");
    ASSERT_TRUE(type("TC039", "20250315"));
    ASSERT_TRUE(type("TC008", "USD"));
    counting->roundTrips() = 0;
    ASSERT_TRUE(type("TC039", "20250316"));
    EXPECT_EQ(counting->roundTrips(), 1)
        << "the number with the rate; a proposed number is not checked, the save renumbers";
    EXPECT_EQ(text("TC002").substr(0, 6), "250316");

    module.cdsMain.post();
    owner.mode = RecordMode::Edit;
    module.cdsMain.edit();
    ASSERT_TRUE(type("TC039", "20250320"));
    EXPECT_EQ(text("TC002").substr(0, 6), "250316") << "an order being edited keeps its number";

    ASSERT_TRUE(type("TC001", "2209"));
    EXPECT_EQ(text("TC002"), "") << "a type numbered by hand";
    ASSERT_TRUE(type("TC001", "2701"));
    EXPECT_EQ(window.focused, "TC049") << "a multi-party order starts at its process";
    EXPECT_FALSE(type("TC001", "2101")) << "a quotation type is no order type";
    EXPECT_EQ(owner.messageCodes(), (HeadCheckCodes{"E100013", "E100007"}));
}

TEST_F(OrderHeadChecksTest, ACustomerFillsTheHeadWithoutTheChecksItSilences)
{
    owner.answer = 2; // a warning would refuse
    counting->roundTrips() = 0;
    ASSERT_TRUE(type("TC004", "C002"));
    // Three trips also prove the silenced checks asked nothing: department, salesperson, agent,
    // broker and inspection company are not among the questions fetched ahead.
    EXPECT_EQ(counting->roundTrips(), 3) << "the customer row, then its checks' lookups, then the rate";
    EXPECT_TRUE(owner.messages.empty());
    EXPECT_EQ(text("TC022C1"), gbk("华东贸易")) << "the agent's name as the customer record gives it";
    EXPECT_EQ(text("TC014"), gbk("电汇60天"));
    EXPECT_DOUBLE_EQ(head("TC041").asFloat(), 0) << "tax type 3 carries no tax";
    EXPECT_NEAR(head("TC026").asFloat(), 0.05, 1e-9);
    EXPECT_NEAR(head("TC045").asFloat(), 0.3, 1e-9);
    EXPECT_EQ(text("TC025C1"), gbk("远洋海运")) << "shipping mode 2 takes the sea carrier";
    EXPECT_EQ(text("TC004C6"), "1") << "its trade scope";
    EXPECT_NEAR(head("TC009").asFloat(), 7.2, 0.06) << "the USD rate in force on 20250301";
    EXPECT_FALSE(module.customerFilling());
}

TEST_F(OrderHeadChecksTest, CeasedSuspendedAndUnknownCustomers)
{
    EXPECT_FALSE(type("TC004", "C004"));
    EXPECT_EQ(owner.messages.at(0), std::make_pair(std::string("E100460"), std::string("20240630")));
    module.formSwitches().setChecksEnabled(false);
    EXPECT_FALSE(type("TC004", "C004")) << "a record filled by program cannot take a ceased customer either";
    module.formSwitches().setChecksEnabled(true);
    ASSERT_TRUE(type("TC039", "20240101"));
    ASSERT_TRUE(type("TC004", "C004"));
    EXPECT_FALSE(type("TC039", "20240630")) << "the ceasing day itself is refused";

    const std::string terms = text("TC014");
    EXPECT_FALSE(type("TC004", "C003"));
    EXPECT_EQ(owner.messageCodes().back(), "E200136");
    EXPECT_EQ(text("TC014"), terms) << "nothing of a refused customer reaches the head";

    owner.messages.clear();
    ASSERT_TRUE(type("TC016", "1"));
    ASSERT_TRUE(type("TC004", "C999"));
    EXPECT_EQ(owner.messages, (std::vector<std::pair<std::string, std::string>>{{"W000004", gbk("客户编号")}}));
    EXPECT_EQ(text("TC016"), "2");
    EXPECT_DOUBLE_EQ(head("TC041").asFloat(), 0.17);
}

TEST_F(OrderHeadChecksTest, ACustomerOrderNumberInUseElsewhereIsOnlyWarnedAbout)
{
    ASSERT_TRUE(type("TC004", "C001"));
    ASSERT_TRUE(type("TC001", "2201"));
    ASSERT_TRUE(type("TC012", "PO-7"));
    ASSERT_TRUE(module.SaveData(module.cdsMain)) << (owner.shown.empty() ? "" : owner.shown.front());
    owner.mode = RecordMode::Edit;
    module.cdsMain.edit();
    ASSERT_TRUE(type("TC012", "PO-7")) << "the order's own number";
    module.cdsMain.cancel();
    owner.mode = RecordMode::Add;
    module.cdsMain.append();
    ASSERT_TRUE(type("TC012", "PO-7")) << "a warning keeps the number";
    EXPECT_EQ(owner.messageCodes(), HeadCheckCodes{"W100069"});
}

TEST_F(OrderHeadChecksTest, CurrenciesAndTaxTypes)
{
    ASSERT_TRUE(type("TC008", "JPY"));
    EXPECT_EQ(module.FNumberLength(6), 0);
    ASSERT_TRUE(type("TC008", "USD"));
    ASSERT_TRUE(type("TC039", "20240601"));
    EXPECT_NEAR(head("TC009").asFloat(), 7.1, 0.06);
    EXPECT_FALSE(type("TC008", "EUR"));
    EXPECT_EQ(owner.messageCodes(), HeadCheckCodes{"E000001"});
    ASSERT_TRUE(type("TC004", "C001"));
    EXPECT_TRUE(module.localCurrency()) << "C001 trades in RMB";

    const auto typeLine = [&] {
        module.cdsBody1.append();
        module.cdsBody1.fieldByName("TD004").setAsString("A100");
        module.cdsBody1.fieldByName("TD008").setText("10");
        module.cdsBody1.post();
    };
    typeLine();
    typeLine();
    ASSERT_GT(module.cdsBody1.fieldByName("TD039").asFloat(), 0);
    ASSERT_TRUE(type("TC016", "3"));
    EXPECT_DOUBLE_EQ(head("TC041").asFloat(), 0);
    for (module.cdsBody1.first(); !module.cdsBody1.eof(); module.cdsBody1.next())
        EXPECT_DOUBLE_EQ(module.cdsBody1.fieldByName("TD039").asFloat(), 0) << "every line split again";

    // Changed while the current line is a new one without an item yet: the typed lines are split
    // all the same, the tax now inside 950.00 each.
    ASSERT_TRUE(type("TC016", "2"));
    module.cdsBody1.append();
    ASSERT_TRUE(type("TC016", "1"));
    for (module.cdsBody1.first(); !module.cdsBody1.eof(); module.cdsBody1.next()) {
        EXPECT_DOUBLE_EQ(module.cdsBody1.fieldByName("TD039").asFloat(), 109.29);
        EXPECT_DOUBLE_EQ(module.cdsBody1.fieldByName("TD038").asFloat(), 840.71);
    }
    EXPECT_DOUBLE_EQ(head("TC030").asFloat(), 218.58);
    EXPECT_DOUBLE_EQ(head("TC029").asFloat(), 1681.42);

    // A line typed under a type without tax took no rate; a taxed type gives it its item's (13%).
    ASSERT_TRUE(type("TC016", "3"));
    typeLine();
    ASSERT_DOUBLE_EQ(module.cdsBody1.fieldByName("TD037").asFloat(), 0);
    ASSERT_TRUE(type("TC016", "2"));
    EXPECT_DOUBLE_EQ(module.cdsBody1.fieldByName("TD037").asFloat(), 0.13);
    EXPECT_DOUBLE_EQ(module.cdsBody1.fieldByName("TD039").asFloat(), 123.5);
}

TEST_F(OrderHeadChecksTest, LookupsThatFindNothing)
{
    EXPECT_FALSE(type("TC006", "P001")) << "a buyer is no salesperson";
    EXPECT_FALSE(type("TC049", "99"));
    EXPECT_FALSE(type("TC007", "09"));
    owner.answer = 2;
    EXPECT_FALSE(type("TC023", "F999"));
    ASSERT_TRUE(type("TC034", "M99")) << "an unknown mark is only warned about";
    module.formSwitches().setChecksEnabled(false);
    EXPECT_TRUE(type("TC047", "NA99")) << "silent while the checks are off";
    EXPECT_TRUE(type("TC007", "09"));
    module.formSwitches().setChecksEnabled(true);
    EXPECT_FALSE(type("TC037", "1234567890123456789012345678901"));
    EXPECT_TRUE(type("TC037", "123456789012345678901234567890\r\nthe next line"));
    EXPECT_FALSE(type("TC045", "-1"));
    EXPECT_EQ(owner.messageCodes(),
              (HeadCheckCodes{"E100032", "E100007", "E000001", "W000004", "W000004", "E100168", "E100012"}));
}

// The line's item check too: its questions depend on each other's answers, and the server answers
// them all in one call; a change of item on the same line likewise.
TEST_F(OrderHeadChecksTest, AnItemCheckIsOneRoundTrip)
{
    ASSERT_TRUE(type("TC004", "C001"));
    module.cdsBody1.append();
    module.cdsBody1.fieldByName("TD008").setText("25");
    for (const char* item : {"A100", "A200"}) {
        counting->roundTrips() = 0;
        module.cdsBody1.fieldByName("TD004").setText(item);
        EXPECT_EQ(counting->roundTrips(), 1) << item;
    }

    // A fixed-weight item in unit mode "3": its package twins are converted in the same call.
    setSystemParameter("SYS024", "3");
    counting->roundTrips() = 0;
    module.cdsBody1.fieldByName("TD004").setText("W100");
    EXPECT_EQ(counting->roundTrips(), 1);
    EXPECT_DOUBLE_EQ(module.cdsBody1.fieldByName("TD032").asFloat(), 1) << "25 KG are a bag";
    EXPECT_TRUE(owner.messages.empty());
}

} // namespace
} // namespace orvane::test
