// The order window's inquiry lists and the phrase service over the demonstration data, on
// each database backend (their SQL computes amounts, joins and sums), then the phrase rules.
#include "ServicesFixture.h"

#include <tuple>

namespace orvane::test {
namespace {

const Variant demoOrder = Variant::arrayOf({"2201", "2501200001"});

class OrderInquiriesTest : public ServicesFixture {
protected:
    std::vector<std::vector<Variant>> rows(std::string table, std::string kind, Variant keys = demoOrder)
    {
        int count = 0;
        std::tie(count, answer_) = f2Data({.table = table, .kind = kind, .keys = std::move(keys)});
        EXPECT_GE(count, 0) << table << " " << kind;
        return answer_.rows;
    }
    // GetPhrase2 with its out argument.
    std::pair<std::int64_t, std::string> phrase(std::string field, std::string text, Variant number)
    {
        std::vector<Variant> args{std::move(field), std::move(text), std::move(number), Variant()};
        const std::int64_t count = services_->invoke("GetPhrase2", args).toInteger();
        return {count, args[3].toString()};
    }

    LookupAnswer answer_;
};

// The figures of the sales status and the columns of the deliveries the window shows: SearchFormTest.
TEST_P(OrderInquiriesTest, EveryQueryOfTheOrderMenuAnswersTheDemoOrdersRows)
{
    auto profit = rows("COPTC", "62", Variant::arrayOf({"1", "2201", "2501200001"}));
    ASSERT_EQ(profit.size(), 1U);
    const auto& line = profit[0];
    EXPECT_EQ(line[0], Variant("0001"));
    EXPECT_DOUBLE_EQ(line[8].toFloat(), line[5].toFloat() - line[3].toFloat() * line[6].toFloat());
    EXPECT_DOUBLE_EQ(line[9].toFloat(), line[8].toFloat() / line[5].toFloat());
    EXPECT_EQ(answer_.columns.substr(answer_.columns.rfind(';') + 1), "毛利率$%");

    for (const char* table : {"COPTC", "COPTA"}) {
        auto quotations = rows(table, "63");
        ASSERT_EQ(quotations.size(), 1U) << table;
        EXPECT_EQ(quotations[0][1], Variant("2501150001"));
    }

    EXPECT_EQ(rows("COPTC", "64").size(), 1U);
    const Variant line1 = Variant::arrayOf({"2201", "2501200001", "0001"});
    auto deliveries = rows("COPTC", "65", line1);
    ASSERT_EQ(deliveries.size(), 2U);
    EXPECT_DOUBLE_EQ(deliveries[0][6].toFloat() + deliveries[1][6].toFloat(), 1140.0);
    EXPECT_TRUE(rows("COPTC", "65", Variant::arrayOf({"2201", "2501200001", "0009"})).empty());

    auto deposits = rows("COPTC", "67");
    ASSERT_EQ(deposits.size(), 2U); // both orders of customer C001
    EXPECT_EQ(answer_.fieldNames.back(), "LINKS");
    EXPECT_EQ(deposits[0].back(), Variant("TAVI52,TC001,TC001,客户订单;TAVI52,TC002,TC002,客户订单"));

    auto need = rows("COPTC", "68");
    ASSERT_EQ(need.size(), 1U);
    EXPECT_DOUBLE_EQ(need[0][5].toFloat(), 620.0) << "A100 in stock, both warehouses";
    EXPECT_DOUBLE_EQ(need[0][6].toFloat(), 0.0) << "20 open, 620 in stock";
}

// A line's quantities are in its own unit, standard costs and stock in the stock unit.
TEST_P(OrderInquiriesTest, ProfitAndNeedTakeTheLinesQuantitiesInStockUnits)
{
    executeInCompany("INSERT INTO PRTest50..COPTC (TC001, TC002, TC004, TC008, TC009) "
                     "VALUES ('2202', '25010001', 'C001', 'RMB', 1)");
    executeInCompany("INSERT INTO PRTest50..COPTD (TD001, TD002, TD003, TD004, TD008, TD009, TD010, TD038) VALUES "
                     "('2202', '25010001', '0001', 'A100', 1, 0, 'CTN', 1900), "
                     "('2202', '25010001', '0002', 'A300', 200, 0, 'PCS', 0), "
                     "('2202', '25010001', '0003', 'A200', 1, 0, 'DOZ', 100)");

    auto profit = rows("COPTC", "62", Variant::arrayOf({"RMB", "2202", "25010001"}));
    ASSERT_EQ(profit.size(), 3U);
    EXPECT_DOUBLE_EQ(profit[0][7].toFloat(), 1200.0) << "1 CTN of A100 is 20 PCS at 60";
    EXPECT_DOUBLE_EQ(profit[0][8].toFloat(), 700.0);
    EXPECT_EQ(profit[2][8], Variant("")) << "A200 has no conversion for DOZ: no figure rather than a wrong one";

    auto need = rows("COPTC", "68", Variant::arrayOf({"2202", "25010001"}));
    ASSERT_EQ(need.size(), 3U);
    EXPECT_NEAR(need[1][4].toFloat(), 200.0 / 12, 1e-9) << "200 PCS of A300 are 16.67 BOX";
    EXPECT_DOUBLE_EQ(need[1][6].toFloat(), 0.0) << "120 BOX in stock";
    EXPECT_EQ(need[2][6], Variant(""));
}

// Every phrase of a field, as the client lists them: SearchFormTest.
TEST_P(OrderInquiriesTest, PhrasesOfAFieldAreTheSessionsUsersAndRequestsAreChecked)
{
    EXPECT_EQ(phrase("TC013", "含", 2), std::make_pair(std::int64_t{2}, std::string("含运费")));
    EXPECT_EQ(phrase("TC013", "", 9).second, "");
    EXPECT_EQ(errorOf([&] { phrase("TC015", "", -1); }), "GetPhrase2: the phrase number -1 is below 0");
    services_ = object("OrvaneS.Services", false);
    EXPECT_NE(errorOf([&] { phrase("TC015", "", 0); }), "");
}

INSTANTIATE_TEST_SUITE_P(Backends, OrderInquiriesTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
