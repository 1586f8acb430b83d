// The order data module over the demonstration server: a new order's and a new line's defaults,
// the head totals as lines are posted, edited and deleted, the sub-lines (kept when the user
// declines to delete them, checked against the item's structure; keyed and saved with their line
// in OrderDialogsTest), the line post and field access, and the shipping-mark texts in both code
// pages.
#include "OrderModuleFixture.h"

#include "platform/variant/NumberText.h"

namespace orvane::test {
namespace {

class OrderDataModuleTest : public OrderModuleFixture {
protected:
    void SetUp() override
    {
        OrderModuleFixture::SetUp();
        module.setFormSwitches(&switches);
        module.RefreshToday();
    }

    // A posted line of item with the given quantity, net amount and tax; the line checks are off
    // so the line keeps exactly what is given.
    void addLine(const std::string& item, double quantity, double amount = 0, double tax = 0)
    {
        switches.checks = false;
        module.cdsBody1.append();
        lineField("TD004").setAsString(item);
        lineField("TD010").setAsString("PCS");
        lineField("TD008").setAsFloat(quantity);
        SetFieldText(&lineField("TD038"), text::floatToText(amount), false);
        SetFieldText(&lineField("TD039"), text::floatToText(tax), false);
        module.cdsBody1.post();
        switches.checks = true;
    }
    // A new line of five A100 for the amount, under price control with a lowest-price rate of 0.2,
    // typed with the line checks off and not posted yet.
    void typeControlledLine(double amount)
    {
        switches.checks = false;
        module.cdsBody1.append();
        for (const auto& [name, value] : {std::pair{"TD004", "A100"}, {"TD010", "PCS"}, {"TD004C2", "Y"}})
            SetFieldText(&lineField(name), value, false);
        lineField("TD004C3").setAsFloat(0.2);
        lineField("TD008").setAsFloat(5);
        lineField("TD011").setAsFloat(amount / 5);
        lineField("TD012").setAsFloat(amount);
    }
    Field& head(const char* name) { return module.cdsMain.fieldByName(name); }
    Field& lineField(const char* name) { return module.cdsBody1.fieldByName(name); }
    Field& subLine(const char* name) { return module.cdsFoot.fieldByName(name); }
    void addSubLine(const std::string& option, const std::string& component)
    {
        switches.subLines = false;
        module.cdsFoot.append();
        subLine("TM004").setAsString(option);
        subLine("TM006").setAsString(component);
        module.cdsFoot.post();
        switches.subLines = true;
    }
};

TEST_F(OrderDataModuleTest, ANewOrderTakesTodayTheDefaultFactoryAndTheTaxRate)
{
    addOrder();
    EXPECT_EQ(head("TC039").asString(), module.Today());
    EXPECT_EQ(head("TC007").asString(), "01") << "the factory in use on that date";
    EXPECT_FALSE(head("TC007C1").asString().empty());
    EXPECT_DOUBLE_EQ(head("TC041").asFloat(), 0.17) << "SYS004 stored as the fraction";
    EXPECT_EQ(head("TC041").displayText().substr(0, 2), "17");

    module.cdsMain.cancel();
    brokers.SetSystemParameter("sys011", "999912");
    addOrder();
    EXPECT_EQ(head("TC039").asString(), "") << "no date before the system's first month";
}

TEST_F(OrderDataModuleTest, NewLinesCarryTheLastDiscountAndTheHeadsConfirmationAndPostedOnesTakeTheDefaultPacking)
{
    addOrder();
    module.cdsBody1.append();
    EXPECT_DOUBLE_EQ(lineField("TD026").asFloat(), 1.0) << "the first line: 100 %";
    EXPECT_EQ(lineField("TD021").asString(), "N") << "the head's confirmation";
    lineField("TD026").setText("90");
    module.cdsBody1.post();
    module.cdsBody1.append();
    EXPECT_DOUBLE_EQ(lineField("TD026").asFloat(), 0.9);
    module.cdsBody1.cancel();

    switches.packing = true;
    switches.selectedField = "TD008";
    brokers.SetSystemParameter("SYS024", "2");
    addLine("A100", 3);
    EXPECT_EQ(lineField("TD029").asString(), "P01");
    EXPECT_EQ(switches.quantitySteps, 0) << "not while the checks are off";
    module.cdsBody1.edit();
    module.cdsBody1.post();
    EXPECT_EQ(switches.quantitySteps, 1);
}

TEST_F(OrderDataModuleTest, HeadTotalsFollowPostsEditsAndDeletes)
{
    addOrder();
    addLine("A100", 2.5, 100, 17);
    addLine("A200", 1.7, 50.5, 8.59);
    EXPECT_DOUBLE_EQ(head("TC031").asFloat(), 4.2);
    EXPECT_DOUBLE_EQ(head("TC029").asFloat(), 150.5);
    EXPECT_DOUBLE_EQ(head("TC030").asFloat(), 25.59);
    EXPECT_DOUBLE_EQ(head("TC029C").asFloat(), 176.09);

    module.cdsBody1.first();
    module.cdsBody1.edit();
    SetFieldText(&lineField("TD038"), "10", false);
    module.cdsBody1.post();
    EXPECT_DOUBLE_EQ(head("TC029").asFloat(), 60.5) << "the edited line replaces what it gave";
    module.cdsBody1.deleteRecord();
    EXPECT_DOUBLE_EQ(head("TC029").asFloat(), 50.5);
    EXPECT_DOUBLE_EQ(head("TC031").asFloat(), 1.7);
    module.cdsBody1.deleteRecord();
    EXPECT_EQ(head("TC029").asFloat(), 0.0) << "no residue of the running sums";

    brokers.SetSystemParameter("SYS024", "2");
    addLine("A100", 2.5);
    addLine("A200", 1.7);
    EXPECT_DOUBLE_EQ(head("TC031").asFloat(), 3.0) << "two-unit mode counts whole quantities";
}

TEST_F(OrderDataModuleTest, SubLinesAreCheckedAgainstTheItemsStructureAndKeptWhenTheUserDeclinesToDeleteThem)
{
    addOrder();
    addLine("B100", 100);
    switches.optionQuantity = 100;
    module.cdsFoot.append();
    EXPECT_THROW(subLine("TM004").setAsString("P101"), SilentAbort) << "a component is no option of B100";
    subLine("TM004").setAsString("O100");
    EXPECT_EQ(subLine("TM005").asString(), "O");
    EXPECT_THROW(subLine("TM006").setAsString("F100"), SilentAbort) << "a feature used as a component";
    subLine("TM006").setAsString("P301");
    EXPECT_DOUBLE_EQ(subLine("TM007").asFloat(), 102) << "100 with the component's 2 % loss";
    EXPECT_THROW(subLine("TM007").setAsFloat(-1), SilentAbort);
    subLine("TM008").setAsString("****");
    EXPECT_EQ(owner.messageCodes(), (std::vector<std::string>{"E100276", "E100277", "E100012"}));

    switches.subLines = false;
    subLine("TM006").setAsString("NOSUCH");
    EXPECT_EQ(owner.messages.size(), 3U) << "no checks while the window switches them off";
    module.cdsFoot.cancel();

    addSubLine("O100", "P301");
    addSubLine("F100", "P101");
    module.cdsBody1.edit();
    owner.messages.clear();
    owner.answer = 2;
    module.ClearLineChildren();
    EXPECT_EQ(module.cdsFoot.recordCount(), 2) << "the user declined to delete them";
    EXPECT_EQ(owner.messageCodes(), std::vector<std::string>{"C100015"});
    owner.answer = 1;
    module.ClearLineChildren();
    EXPECT_EQ(module.cdsFoot.recordCount(), 0);
}

TEST(OrderDataModuleQuantityTest, FollowsTheStructureFactorsAndNeverDividesByZero)
{
    EXPECT_DOUBLE_EQ(TdmTavi52::ComponentQuantity(100, {1, 2, 1, 0.05, 1, 1, 1, 0}), 210);
    EXPECT_EQ(TdmTavi52::ComponentQuantity(100, {0, 2, 1, 0.05, 1, 1, 1, 0}), 0);
    EXPECT_EQ(TdmTavi52::ComponentQuantity(100, {1, 2, 1, 0, 1, 1, 0, 0}), 0);
}

// C001 buys A100 at 95 (its own price); a lowest-price rate of 0.2 puts the floor of 5 pieces at
// 0.8 x 5 x 95 = 380.00.
TEST_F(OrderDataModuleTest, ALineBelowTheSellingPriceFloorIsRefusedOrLifted)
{
    addOrder();
    module.setFNumberLength(6, 2);
    switches.checks = false;
    for (const auto& [name, value] : {std::pair{"TC001", "2201"}, {"TC004", "C001"}, {"TC008", "RMB"}})
        head(name).setAsString(value);
    typeControlledLine(379.99);
    EXPECT_THROW(module.cdsBody1.post(), SilentAbort);
    EXPECT_EQ(owner.messageCodes(), std::vector<std::string>{"E100343"});
    lineField("TD012").setAsFloat(380);
    module.cdsBody1.post();

    switches.liftFloor = true;
    typeControlledLine(500);
    module.cdsBody1.post();
    typeControlledLine(100);
    module.cdsBody1.post();
    EXPECT_DOUBLE_EQ(lineField("TD011").asFloat(), 95);
    EXPECT_DOUBLE_EQ(lineField("TD026").asFloat(), 1.0);
    EXPECT_DOUBLE_EQ(lineField("TD012").asFloat(), 475);
    EXPECT_EQ(switches.lifted, "3");
    module.cdsBody1.first();
    module.cdsBody1.edit();
    lineField("TD012").setAsFloat(1);
    module.cdsBody1.post();
    EXPECT_EQ(switches.lifted, "3, 1");
    EXPECT_EQ(owner.messages.size(), 1U);

    // No floor for an order type without price control, nor for a line without it.
    switches.liftFloor = false;
    owner.messages.clear();
    head("TC001").setAsString("2202");
    typeControlledLine(0.01);
    module.cdsBody1.post();
    EXPECT_DOUBLE_EQ(lineField("TD012").asFloat(), 0.01) << "2202 sets no floor";

    head("TC001").setAsString("2201");
    module.cdsBody1.edit();
    SetFieldText(&lineField("TD004C2"), "N", false);
    module.cdsBody1.post();
    EXPECT_TRUE(owner.messages.empty());
}

TEST_F(OrderDataModuleTest, LineFieldsOpenAndCloseWithTheUnitModeAndTheItem)
{
    addOrder();
    addLine("A100", 1);
    module.cdsBody1.edit();
    lineField("TD004C").setAsString("N");
    brokers.SetSystemParameter("SYS024", "2");
    module.RefreshLineFieldAccess();
    EXPECT_TRUE(lineField("TD010").readOnly());
    EXPECT_TRUE(lineField("TD005").readOnly()) << "the item fixes its name";
    EXPECT_TRUE(lineField("TD032").readOnly()) << "no package unit";
    lineField("TD004C").setAsString("Y");
    SetFieldText(&lineField("TD036"), "CTN", false);
    brokers.SetSystemParameter("SYS024", "3");
    module.RefreshLineFieldAccess();
    EXPECT_FALSE(lineField("TD010").readOnly());
    EXPECT_FALSE(lineField("TD005").readOnly());
    EXPECT_FALSE(lineField("TD032").readOnly());
    EXPECT_TRUE(lineField("TD036").readOnly());
}

TEST_F(OrderDataModuleTest, MarkLinesShowAFullWidthBackslashInTheWindowsCodePage)
{
    addOrder();
    Field& mark = head("TC056");
    mark.setText("FRONT\xA3\xDCSIDE");
    EXPECT_EQ(mark.asString(), "FRONT\x07SIDE");
    EXPECT_EQ(mark.displayText(), "FRONT\xA3\xDCSIDE");
    // Bytes A3 DC across two characters (B0A3, DCA1) are no backslash.
    mark.setText("\xB0\xA3\xDC\xA1");
    EXPECT_EQ(mark.asString(), "\xB0\xA3\xDC\xA1");

    switches.formCodePage = "950";
    mark.setText("A\xA2\x40"
                 "B");
    EXPECT_EQ(mark.asString(), "A\x07"
                               "B");
    EXPECT_EQ(mark.displayText(), "A\xA2\x40"
                                  "B");
}

} // namespace
} // namespace orvane::test
