// Opening and paging the order heads through the order server, as the client's three
// nested datasets see them: companions, conditions and orders, the empty add request,
// the row limit, paging under concurrent inserts and refused conditions.
#include "OrderFixture.h"

namespace orvane::test {
namespace {

class OrderFetchTest : public OrderFixture {
protected:
    // Stores an order of customer C002 dated by its number under each of the numbers, with one line.
    void copyOrder(std::initializer_list<const char*> numbers, const std::string& type = "2201")
    {
        for (const char* number : numbers) {
            const std::string date = "20" + std::string(number).substr(0, 6);
            db_->execute("INSERT INTO " + table("COPTC") +
                             " (TC001, TC002, TC003, TC004, TC039, TC029, FLAG) "
                             "VALUES (?, ?, ?, 'C002', ?, 100, 1)",
                         {type, number, date, date});
            db_->execute("INSERT INTO " + table("COPTD") +
                             " (TD001, TD002, TD003, TD004, TD007, TD010, FLAG) "
                             "VALUES (?, ?, '0001', 'A200', 'B01', 'PCS', 1)",
                         {type, number});
        }
    }
    std::vector<std::string> numbers(OrderClient& client)
    {
        std::vector<std::string> out;
        for (client.main.first(); !client.main.eof(); client.main.next())
            out.push_back(client.head("TC002"));
        return out;
    }
};

TEST_P(OrderFetchTest, PacketsCarryStoredColumnsWithSchemaSizesAndTheCompanions)
{
    DispatchProvider provider(connected(), "pvdMain");
    const DataPacket packet = provider.getRecords(0, Variant(), true);
    const auto field = [](const std::vector<FieldDef>& fields, const char* name) {
        const auto it = std::find_if(fields.begin(), fields.end(), [&](const FieldDef& f) { return f.name == name; });
        return it == fields.end() ? FieldDef::string("missing", -1) : *it;
    };
    EXPECT_EQ(field(packet.fields, "TC002").size, 11);
    EXPECT_EQ(field(packet.fields, "TC029").type, FieldType::Float);
    EXPECT_EQ(field(packet.fields, "FLAG").type, FieldType::Float);
    EXPECT_EQ(field(packet.fields, "TC004C1").size, 10);
    EXPECT_EQ(field(packet.fields, "TC004C7").size, -1); // no source: not sent
    const FieldDef lines = field(packet.fields, "qryBody");
    ASSERT_EQ(lines.type, FieldType::DataSet);
    EXPECT_EQ(field(lines.nested, "TD010C1").size, 4);
    const FieldDef subLines = field(lines.nested, "qryFoot");
    ASSERT_EQ(subLines.type, FieldType::DataSet);
    EXPECT_EQ(field(subLines.nested, "TM004").size, 20);
    EXPECT_EQ(field(subLines.nested, "MB025C").size, 1);
    EXPECT_TRUE(packet.rows.empty());
}

TEST_F(OrderFetchTest, AStoredOrderShowsItsCompanionsAsIfTyped)
{
    db_->execute("INSERT INTO " + table("COPTM") +
                 " (TM001, TM002, TM003, TM004, TM006, TM007, FLAG) "
                 "VALUES ('2201', '2501200001', '0001', 'F100', 'P101', 1, 1)");
    OrderClient client(connected());
    client.open();
    ASSERT_EQ(client.main.recordCount(), 1);
    EXPECT_EQ(client.head("TC001C1"), "一般订单");
    EXPECT_EQ(client.head("TC004C1"), "华东贸易");
    EXPECT_EQ(client.head("TC005C1"), "国内业务部");
    EXPECT_EQ(client.head("TC042C"), "月结30天");
    EXPECT_EQ(client.head("MA097C"), "1");
    EXPECT_DOUBLE_EQ(client.main.fieldByName("TC029C").asFloat(), 2147.0);
    EXPECT_EQ(client.head("TC034C"), ""); // no shipping mark on the order
    ASSERT_EQ(client.body1.recordCount(), 1);
    EXPECT_EQ(client.body1.fieldByName("TD007C").asString(), "成品仓");
    EXPECT_EQ(client.body1.fieldByName("TD010C1").asString(), "PCS");
    EXPECT_EQ(client.body1.fieldByName("TD029C").asString(), "标准纸箱");
    EXPECT_EQ(client.body1.fieldByName("TD004C4").asString(), "A100");
    EXPECT_EQ(client.body1.fieldByName("TD004C6").asString(), "上海照明电器厂");
    EXPECT_DOUBLE_EQ(client.body1.fieldByName("TD004C053").asFloat(), 90.0);
    ASSERT_EQ(client.foot.recordCount(), 1);
    EXPECT_EQ(client.foot.fieldByName("TM004C").asString(), "处理器");
    EXPECT_EQ(client.foot.fieldByName("TM006C").asString(), "处理器 i5");
    EXPECT_EQ(client.foot.fieldByName("MB025C").asString(), "P");
}

TEST_F(OrderFetchTest, HeadsComeInPacketsWithTheirLines)
{
    copyOrder({"2501210001", "2501210002", "2501220001", "2501230001"});
    copyOrder({"2501200001"}, "2202"); // the last packet holds two types
    OrderClient client(connected(), 2);
    client.open();
    EXPECT_EQ(client.main.recordCount(), 2);
    EXPECT_FALSE(client.main.allFetched());
    EXPECT_EQ(client.main.getNextPacket(), 2);
    EXPECT_EQ(client.main.getNextPacket(), 2);
    EXPECT_TRUE(client.main.allFetched());
    EXPECT_EQ(numbers(client), (std::vector<std::string>{"2501200001", "2501210001", "2501210002", "2501220001",
                                                         "2501230001", "2501200001"}));
    for (client.main.first(); !client.main.eof(); client.main.next()) {
        ASSERT_EQ(client.body1.recordCount(), 1) << client.head("TC001") << client.head("TC002");
        EXPECT_EQ(client.body1.fieldByName("TD001").asString(), client.head("TC001"));
    }
    client.main.last();
    EXPECT_EQ(client.body1.fieldByName("TD007C").asString(), "苏州成品仓");
}

// What each kind of condition selects is ClientQueryDbTest's; here: that both texts reach the query.
TEST_F(OrderFetchTest, ReopeningTakesTheConditionAndTheOrder)
{
    copyOrder({"2501210001", "2501210002", "2501220001"});
    OrderClient client(connected());
    struct Case {
        const char* condition;
        const char* order;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"", "", {"2501200001", "2501210001", "2501210002", "2501220001"}},
        {"all", "TC003 desc", {"2501220001", "2501210001", "2501210002", "2501200001"}},
        {"COPTC.TC001 = '2201' and COPTC.TC002 like '25012%'",
         "TC004 desc,TC002 desc",
         {"2501220001", "2501210002", "2501210001", "2501200001"}},
        // The line count reaches the lines of the session's company.
        {"TC004 = 'C002' and  ( select count(*) FROM PRTest50..COPTD COPTD where  (COPTC.TC001=COPTD.TD001) and "
         " (COPTC.TC002=COPTD.TD002) and  ( COPTD.TD007 = 'B01' ) ) > 0 ",
         "",
         {"2501210001", "2501210002", "2501220001"}},
        {"1=2", "TC001,TC002", {}},
    };
    for (const Case& c : cases) {
        client.open(c.condition, c.order);
        EXPECT_EQ(numbers(client), c.expected) << c.condition << " / " << c.order;
    }
}

TEST_F(OrderFetchTest, TheRowLimitCapsAnOpening)
{
    copyOrder({"2501210001", "2501210002"});
    OrderClient client(connected(), 1);
    client.server->call("SetTopRow", {2});
    client.open("", "TC002 desc");
    client.main.fetchAll();
    EXPECT_EQ(numbers(client), (std::vector<std::string>{"2501210002", "2501210001"}));
    client.server->call("SetTopRow", {0});
    client.open();
    client.main.fetchAll();
    EXPECT_EQ(client.main.recordCount(), 3);
}

TEST_P(OrderFetchTest, PagingNeitherSkipsNorRepeatsWhenOthersAddOrders)
{
    copyOrder({"2501210001", "2501220001"});
    OrderClient client(connected(), 1);
    client.open("", "TC002");
    copyOrder({"2501190001", "2501215555"}); // sort before and between the packets still to come
    client.main.fetchAll();
    EXPECT_EQ(numbers(client), (std::vector<std::string>{"2501200001", "2501210001", "2501220001"}));
}

TEST_F(OrderFetchTest, ConditionsThatCouldReachBeyondTheOrdersAreRefused)
{
    DispatchProvider provider(connected(), "pvdMain");
    const std::vector<std::pair<std::string, std::string>> refused = {
        // Each kind of refusal is the query parser's; here: that conditions and orders go through it.
        {"1=1; DROP TABLE COPTC", ""},
        {"TC004C1 = 'x'", ""}, // a companion column is no stored column
        {"", "(SELECT 1)"},
    };
    for (const auto& [condition, order] : refused) {
        EXPECT_NE(errorOf([&] {
                      provider.getRecords(20, Variant::arrayOf({condition, order}), true);
                  }),
                  "")
            << condition << order;
    }
    EXPECT_NE(errorOf([&] { provider.getRecords(20, Variant::arrayOf({Variant(5), ""}), true); }), "");
    EXPECT_EQ(count("COPTC"), 1);
    EXPECT_EQ(provider.getRecords(20, Variant::arrayOf({"TC001 = '2201'' OR ''1''=''1'", ""}), true).rows.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Backends, OrderFetchTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
