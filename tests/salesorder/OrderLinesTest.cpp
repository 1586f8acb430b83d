// The order line checks over the demonstration server: the item check, the price chain down to
// the tax split, unit modes with package twins, and lookups that find nothing.
#include "OrderModuleFixture.h"

#include <cmath>

namespace orvane::test {
namespace {

class OrderLinesTest : public OrderModuleFixture {
protected:
    void SetUp() override
    {
        OrderModuleFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // The groups the order window gives the line's numbers.
        module.setFNumberFields(3, "cdsBody1:TD008,TD009,TD024,TD025,TD030,TD031,TD032,TD033,TD034,TD035,TD040,TD041");
        module.setFNumberFields(5, "cdsBody1:TD011,TD042,TD043");
        module.setFNumberFields(6, "cdsBody1:TD012,TD038,TD039");
        module.setFNumberLength(5, 4);
        module.setFNumberLength(6, 2);
        addOrder();
        // C001 in RMB with tax on top, typed with the customer's defaults held back; a new line.
        switches.checks = false;
        for (const auto& [field, text] :
             {std::pair{"TC004", "C001"}, {"TC039", "20250301"}, {"TC008", "RMB"}, {"TC009", "1"}, {"TC016", "2"}})
            head(field, text);
        switches.checks = true;
        module.setFormSwitches(&switches);
        module.cdsBody1.append();
    }
    void head(std::string_view field, std::string_view text) { module.cdsMain.fieldByName(field).setAsString(text); }
    // Typed as a user types: through the field's text handler (percent fields take "17" as 0.17).
    void type(std::string_view field, std::string_view text)
    {
        Field& typed = module.cdsBody1.fieldByName(field);
        if (field == "TD004")
            typed.setAsString(text);
        else
            typed.setText(text);
    }
    double number(std::string_view field) const { return module.cdsBody1.fieldByName(field).asFloat(); }
    std::string text(std::string_view field) const { return module.cdsBody1.fieldByName(field).asString(); }
    // Types text into a line field and answers whether the check refused it.
    bool refused(std::string_view field, std::string_view typed)
    {
        return !accepted([&] { type(field, typed); });
    }
    std::pair<std::string, std::string> lastMessage() const
    {
        return owner.messages.empty() ? std::pair<std::string, std::string>() : owner.messages.back();
    }
};

// On every road, the network's and PostgreSQL's too: the roads agree.
class OrderLinesRoadTest : public OrderLinesTest {};

TEST_P(OrderLinesRoadTest, AnItemFillsItsLineAndPricesItDownToTheTaxSplit)
{
    type("TD004", "A100");
    EXPECT_EQ(text("TD005"), gbk("LED台灯"));
    EXPECT_EQ(text("TD010"), "PCS");
    EXPECT_EQ(text("TD007"), "A01");
    EXPECT_EQ(text("TD007C"), gbk("成品仓"));
    EXPECT_DOUBLE_EQ(number("TD037"), 0.13);
    EXPECT_EQ(text("TD029"), "P01") << "the item's default packing";
    EXPECT_EQ(text("TD029C"), gbk("标准纸箱"));
    EXPECT_EQ(text("TD004C4"), "A100");
    EXPECT_TRUE(module.lineHasItem());
    EXPECT_DOUBLE_EQ(number("TD011"), 95) << "the customer's own price";
    // Reference prices: level 1 has no tax flag (taken as excluded, as the order is); the retail
    // price includes tax and is converted.
    EXPECT_DOUBLE_EQ(number("TD042"), 90);
    EXPECT_NEAR(number("TD043"), 139 / 1.13, 1e-4);

    type("TD008", "25");
    EXPECT_DOUBLE_EQ(number("TD012"), 2375);
    EXPECT_DOUBLE_EQ(number("TD039"), 308.75);
    EXPECT_DOUBLE_EQ(number("TD038"), 2375);
    // 25 units, 20 to the outer and 10 to the inner carton: 2 outer, 3 inner, 1.2 each unit.
    EXPECT_NEAR(number("TD030"), 2 * 0.8 + 3 * 0.2 + 25 * 1.2, 1e-9);
    EXPECT_NEAR(number("TD031"), 25.0 / 20 * 4.24, 1e-9);
    type("TD040", "10");
    EXPECT_DOUBLE_EQ(number("TD041"), 2.5);

    type("TD008", "200");
    EXPECT_DOUBLE_EQ(number("TD011"), 92) << "the customer's quantity price replaces the typed-over one";
    EXPECT_DOUBLE_EQ(number("TD012"), 18400);
}

TEST_F(OrderLinesTest, ThePriceChainRoundsEachStepAndSplitsByTaxTypeAndCurrency)
{
    switches.amounts = false;
    type("TD008", "3");
    switches.amounts = true;
    type("TD026", "90");
    type("TD037", "17");
    type("TD011", "10");
    EXPECT_DOUBLE_EQ(number("TD012"), 27);
    EXPECT_DOUBLE_EQ(number("TD039"), 4.59) << "tax type 2: tax on top";
    EXPECT_DOUBLE_EQ(number("TD038"), 27);
    // Tax type 1 holds the tax inside, 3 has none; the currency's decimals decide the split's
    // rounding: the yen has none.
    const struct {
        const char *taxType, *currency;
        double tax, net;
    } splits[] = {{"1", "RMB", 3.92, 23.08}, {"3", "RMB", 0, 27}, {"1", "JPY", 4, 23}};
    for (const auto& split : splits) {
        SCOPED_TRACE(std::string(split.taxType) + " " + split.currency);
        head("TC016", split.taxType);
        head("TC008", split.currency);
        type("TD037", "17");
        EXPECT_DOUBLE_EQ(number("TD039"), split.tax);
        EXPECT_DOUBLE_EQ(number("TD038"), split.net);
    }

    // A typed amount gives a line without a price its price.
    head("TC008", "RMB");
    type("TD011", "0");
    switches.amounts = false;
    type("TD008", "8");
    switches.amounts = true;
    type("TD026", "100");
    type("TD012", "100");
    EXPECT_DOUBLE_EQ(number("TD011"), 12.5);
    EXPECT_DOUBLE_EQ(number("TD012"), 100);
    EXPECT_TRUE(owner.messages.empty());
}

TEST_F(OrderLinesTest, LookupsThatFindNothingRefuseOrWarnAsTheFieldSays)
{
    const std::string itemLabel = module.cdsBody1.fieldByName("TD004").displayLabel();
    EXPECT_TRUE(refused("TD004", "NO-SUCH"));
    EXPECT_EQ(lastMessage(), std::pair(std::string("E000001"), itemLabel));
    EXPECT_EQ(text("TD004"), "") << "the refused code is not kept";
    EXPECT_FALSE(module.lineHasItem());

    EXPECT_FALSE(refused("TD007", "Z9")) << "a line without an item only warns";
    EXPECT_EQ(lastMessage().first, "W000004");
    EXPECT_EQ(text("TD007C"), "");
    EXPECT_FALSE(refused("TD014", "NO-SUCH"));
    EXPECT_EQ(lastMessage().first, "W000004");
    type("TD017", "2101");
    type("TD018", "NO-SUCH");
    EXPECT_TRUE(refused("TD019", "0001"));
    EXPECT_EQ(lastMessage().first, "E100061");

    type("TD004", "A100");
    EXPECT_TRUE(refused("TD007", "Z9")) << "a line with an item refuses an unknown warehouse";
    EXPECT_EQ(lastMessage().first, "E000001");
    EXPECT_TRUE(refused("TD010", "KG"));
    EXPECT_EQ(lastMessage().first, "E100026");
    EXPECT_FALSE(refused("TD010", "CTN")) << "a unit defined for the item";
    EXPECT_TRUE(refused("TD040", "-2"));
    EXPECT_EQ(lastMessage().first, "E100012");

    // An item picked with its price from the price window keeps that price.
    type("TD011", "88");
    switches.fromPriceWindow = true;
    type("TD004", "A200");
    switches.fromPriceWindow = false;
    EXPECT_EQ(text("TD010"), "PCS");
    EXPECT_DOUBLE_EQ(number("TD011"), 88);

    // Emptying the item empties what it brought, and asks nothing of the server.
    type("TD004", "");
    EXPECT_EQ(text("TD005"), "");
    EXPECT_EQ(text("TD004C4"), "");
    EXPECT_FALSE(module.lineHasItem());
}

TEST_F(OrderLinesTest, UnitModeThreeKeepsPackageTwinsAndModeTwoPricesTheConvertedQuantity)
{
    setSystemParameter("SYS024", "3");
    type("TD004", "W100");
    EXPECT_EQ(text("TD036"), "BAG");
    type("TD032", "2");
    EXPECT_DOUBLE_EQ(number("TD008"), 50) << "a package quantity always sets its quantity";
    type("TD008", "75");
    EXPECT_DOUBLE_EQ(number("TD032"), 2) << "a quantity fills its package twin only while that is 0";
    type("TD034", "1");
    EXPECT_DOUBLE_EQ(number("TD024"), 25);
    type("TD009", "75");
    type("TD025", "25");
    EXPECT_EQ(text("TD016"), "Y") << "ordered and free goods delivered in full";
    EXPECT_DOUBLE_EQ(number("TD035"), 1);
    type("TD035", "0");
    EXPECT_DOUBLE_EQ(number("TD025"), 0) << "and so does a delivered package quantity, even to 0";
    EXPECT_EQ(text("TD016"), "N");

    // A fixed-weight item without a package unit is refused, and the line keeps its item's data.
    EXPECT_TRUE(refused("TD004", "W200"));
    EXPECT_EQ(lastMessage().first, "E100380");
    EXPECT_EQ(text("TD004") + " " + text("TD010") + " " + text("TD036"), "W100 KG BAG");

    setSystemParameter("SYS024", "2");
    module.cdsBody1.append();
    type("TD004", "A300");
    type("TD008", "1.06"); // one box and six of its twelve pieces
    EXPECT_DOUBLE_EQ(number("TD012"), std::round(number("TD011") * 1.5 * 100) / 100);
}

TEST_F(OrderLinesTest, AQuotationLineFillsTheLineAndATradeScopeRefusesItemsOutsideIt)
{
    switches.checks = false;
    head("TC006", "S001");
    switches.checks = true;
    type("TD017", "2101");
    type("TD018", "2501150001");
    type("TD019", "0001");
    EXPECT_EQ(text("TD004"), "A100");
    EXPECT_DOUBLE_EQ(number("TD008"), 100);
    EXPECT_DOUBLE_EQ(number("TD011"), 95) << "the quotation's price, not the customer's";
    EXPECT_DOUBLE_EQ(number("TD026"), 1) << "a stored fraction stays a fraction";
    EXPECT_DOUBLE_EQ(number("TD037"), 0.13);
    EXPECT_DOUBLE_EQ(number("TD012"), 9500);
    EXPECT_DOUBLE_EQ(number("TD039"), 1235);
    EXPECT_EQ(text("TD013"), "20250311") << "the document date and the quotation's 10 lead days";
    EXPECT_EQ(text("TD014"), "HD-A100");

    // Customer C002 may buy lighting only: a computer is outside its scope.
    switches.checks = false;
    head("TC004", "C002");
    head("TC004C6", "1");
    switches.checks = true;
    module.cdsBody1.append();
    EXPECT_FALSE(refused("TD004", "A200"));
    EXPECT_TRUE(refused("TD004", "B100"));
    EXPECT_EQ(lastMessage().first, "E200082");
}

INSTANTIATE_TEST_SUITE_P(Roads, OrderLinesRoadTest, everyRoad(), roadName);

} // namespace
} // namespace orvane::test
