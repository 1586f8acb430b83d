// Saving orders through the order server the way the client does: numbering of new
// orders, FLAG counting, concurrent changes, deletes, refused values, partial applies and
// a fault in the middle of a save.
#include "OrderFixture.h"
#include "support/Contains.h"

namespace orvane::test {
namespace {

class OrderSaveTest : public OrderFixture {
protected:
    Variant headValue(const char* column, const char* number = "2501200001")
    {
        return scalar(std::string("SELECT ") + column + " FROM " + table("COPTC") +
                          " WHERE TC001 = '2201' AND TC002 = ?",
                      {number});
    }
    std::int64_t counter(const char* prefix)
    {
        return scalar("SELECT NUM_LAST FROM " + table("DOC_NUMBER") + " WHERE NUM_TYPE = '2201' AND NUM_PREFIX = ?",
                      {prefix})
            .toIntegerOrZero();
    }
};

// A save without numbering (SetIsSeq(0)) keeps the typed number: OrderTrustTest's typed numbers.
TEST_F(OrderSaveTest, ATypeNumberedByHandKeepsTheTypedNumberWhenTheSaveAsksForNumbering)
{
    OrderClient client(connected());
    client.open("1=2");
    client.enterOrder("M0001", "2209");
    EXPECT_EQ(client.save(true), 0);
    EXPECT_EQ(count("COPTC", "TC002 = 'M0001'") + count("COPTD", "TD002 = 'M0001'"), 4);
    EXPECT_EQ(client.server->call("WhatIs", {"SEQNO"}), Variant(""));
}

TEST_F(OrderSaveTest, EachSaveCountsTheFlagOn)
{
    OrderClient client(connected());
    client.open("TC001 = '2201' and TC002 = '2501200001'");
    for (const char* remark : {"第一次修改", "第二次修改"})
        EXPECT_EQ(client.saveHead({{"TC015", remark}}), 0) << remark;
    EXPECT_EQ(headValue("TC015"), Variant("第二次修改"));
    EXPECT_EQ(headValue("FLAG").toInteger(), 3);

    // A change in a line leaves the head's FLAG alone.
    OrderClient::change(client.body1, {{"TD008", "25"}}, true);
    EXPECT_EQ(client.save(), 0);
    EXPECT_EQ(headValue("FLAG").toInteger(), 3);
    EXPECT_EQ(scalar("SELECT FLAG FROM " + table("COPTD") + " WHERE TD002 = '2501200001'").toInteger(), 2);

    // 999 wraps to 0.
    db_->execute("UPDATE " + table("COPTC") + " SET FLAG = 999");
    client.open("TC002 = '2501200001'");
    EXPECT_EQ(client.saveHead(), 0);
    EXPECT_EQ(headValue("FLAG").toInteger(), 0);
}

// The refused clerk's typing kept: DataModuleRulesTest, through the framework's data module.
TEST_P(OrderSaveTest, AConcurrentChangeIsRefusedAndTheFirstClerksSaveKept)
{
    OrderClient first(connected());
    OrderClient second(connected("SALES01"));
    first.open("TC002 = '2501200001'");
    second.open("TC002 = '2501200001'");

    ASSERT_EQ(first.saveHead({{"TC015", "first clerk"}}), 0);
    EXPECT_EQ(second.saveHead({{"TC015", "second clerk"}}), 1);
    ASSERT_EQ(second.reconciled.size(), 1u);
    EXPECT_TRUE(contains(second.reconciled[0].message, "changed by another user"));
    EXPECT_TRUE(contains(second.reconciled[0].message, "TC001=2201, TC002=2501200001"));
    const auto& server = second.reconciled[0].serverValues;
    EXPECT_NE(std::find(server.begin(), server.end(), Variant("first clerk")), server.end());
    EXPECT_EQ(headValue("TC015"), Variant("first clerk"));
    EXPECT_EQ(headValue("FLAG").toInteger(), 2);

    // A delete of the changed order is refused alike; one of a deleted order says so.
    second.main.cancelUpdates();
    second.main.deleteRecord();
    EXPECT_EQ(second.save(), 1);
    EXPECT_EQ(count("COPTC"), 1);
    first.main.deleteRecord();
    ASSERT_EQ(first.save(), 0);
    second.main.cancelUpdates();
    EXPECT_EQ(second.saveHead(), 1);
    EXPECT_TRUE(contains(second.reconciled.at(0).message, "deleted by another user"));
}

TEST_F(OrderSaveTest, DeletingAnOrderOrALineTakesWhatHangsOnIt)
{
    OrderClient client(connected());
    client.open("1=2");
    client.enterOrder();
    ASSERT_EQ(client.save(true), 0);
    client.open("TC002 = '2503010001'");
    client.body1.first();
    ASSERT_EQ(client.foot.recordCount(), 1);
    client.body1.deleteRecord();
    EXPECT_EQ(client.save(), 0);
    EXPECT_EQ(count("COPTD", "TD002 = '2503010001'"), 2);
    EXPECT_EQ(count("COPTM"), 0);

    client.main.deleteRecord();
    EXPECT_EQ(client.save(), 0);
    EXPECT_EQ(count("COPTC", "TC002 = '2503010001'") + count("COPTD", "TD002 = '2503010001'"), 0);
    EXPECT_EQ(count("COPTC"), 1);
}

TEST_P(OrderSaveTest, MaxErrorsDecidesBetweenAllOrNothingAndWhatCanBeSaved)
{
    OrderClient client(connected());
    client.open("1=2");
    client.appendHead("2201", "A1", "20250302", "C001");
    client.appendLine("0001", "A100", 1);
    client.appendHead("2201", "A2", "20250302", "C002");
    client.appendLine("0001", "A200", 1);
    OrderClient::change(client.main, {{"TC012", std::string(25, 'X')}});
    EXPECT_EQ(client.save(true, 0), 1);
    // The column's check, counting characters: StoredValueTest.
    EXPECT_EQ(client.reconciled.at(0).message,
              "Field TC012: the value '" + std::string(25, 'X') + "' has 25 characters; at most 20 fit");
    EXPECT_EQ(count("COPTC", "TC039 = '20250302'"), 0);
    EXPECT_EQ(counter("250302"), 0); // the number of the rolled-back order is given back
    EXPECT_EQ(client.server->call("WhatIs", {"SEQNO"}), Variant(""));

    EXPECT_EQ(client.save(true, -1), 1);
    EXPECT_EQ(count("COPTC", "TC039 = '20250302'"), 1);
    EXPECT_EQ(count("COPTD", "TD002 = '2503020001'"), 1);
    EXPECT_EQ(client.server->call("WhatIs", {"SEQNO"}), Variant("2503020001"));
}

TEST_P(OrderSaveTest, AFaultHalfwayThroughASaveLeavesNothingSaved)
{
    DispatchPtr object = connected();
    auto provider = std::dynamic_pointer_cast<OrderServer>(object)->provider();
    int written = 0;
    provider->setFaultHook([&](const std::string& table) {
        if (table == "COPTD" && ++written == 2)
            throw std::runtime_error("disk full");
    });
    OrderClient client(object);
    client.open("1=2");
    client.enterOrder();
    // All or nothing, and record by record, where the head and a line are already written.
    for (const int maxErrors : {0, -1}) {
        written = 0;
        EXPECT_EQ(errorOf([&] { client.save(true, maxErrors); }), "disk full");
        EXPECT_EQ(count("COPTC") + count("COPTD") + count("COPTM"), 2);
        EXPECT_EQ(counter("250301"), 0);
        EXPECT_TRUE(client.main.hasChanges());
    }

    provider->setFaultHook({});
    EXPECT_EQ(client.save(true), 0);
    EXPECT_EQ(count("COPTD", "TD002 = '2503010001'"), 3);
}

TEST_P(OrderSaveTest, ADuplicateKeyIsRefusedForThatOrderOnly)
{
    OrderClient client(connected());
    client.open("1=2");
    client.appendHead("2201", "2501200001", "20250120", "C002");
    client.appendHead("2201", "2501200002", "20250120", "C002");
    EXPECT_EQ(client.save(false, -1), 1);
    EXPECT_TRUE(
        contains(client.reconciled.at(0).message, "The key is already in use (COPTC TC001=2201, TC002=2501200001)"));
    EXPECT_EQ(headValue("TC004"), Variant("C001"));
    EXPECT_EQ(count("COPTC"), 2);
}

TEST_P(OrderSaveTest, AnOrderOfManyLinesIsWrittenWholeUnderItsNumber)
{
    // More lines than one statement holds, and sub-lines far down the order.
    OrderClient client(connected());
    client.open("1=2");
    client.appendHead("2201", "2503010099", "20250301", "C001");
    for (int i = 1; i <= 70; ++i) {
        client.appendLine(std::to_string(10000 + i).substr(1), "A100", i);
        if (i % 30 == 0)
            client.appendSubLine("F100", "P101");
    }
    EXPECT_EQ(client.save(true), 0);
    EXPECT_EQ(headValue("FLAG", "2503010001").toInteger(), 1);
    EXPECT_EQ(count("COPTD", "TD002 = '2503010001' AND FLAG = 1"), 70);
    EXPECT_EQ(scalar("SELECT SUM(TD008) FROM " + table("COPTD") + " WHERE TD002 = '2503010001'").toFloat(),
              70 * 71 / 2);
    EXPECT_EQ(count("COPTM", "TM002 = '2503010001' AND TM003 IN ('0030', '0060')"), 2);
    EXPECT_EQ(count("COPTC", "TC002 IN ('2503010099', '*')") + count("COPTD", "TD002 IN ('2503010099', '*')"), 0);
}

TEST_F(OrderSaveTest, OneSaveChangesAStoredOrderAndNumbersTwoNewOnes)
{
    OrderClient client(connected());
    client.open("", "TC001,TC002");
    const std::int64_t storedLines = count("COPTD", "TD002 = '2501200001'");
    OrderClient::change(client.main, {{"TC015", "同一次保存"}}, true);
    client.body1.first();
    client.body1.deleteRecord();
    client.enterOrder();
    client.enterOrder();
    client.appendLine("0004", "A100", 1);

    EXPECT_EQ(client.save(true), 0);
    EXPECT_EQ(headValue("TC015"), Variant("同一次保存"));
    EXPECT_EQ(headValue("FLAG").toInteger(), 2);
    EXPECT_EQ(count("COPTD", "TD002 = '2501200001'"), storedLines - 1);
    EXPECT_EQ(count("COPTD", "TD002 = '2503010001'"), 3);
    EXPECT_EQ(count("COPTD", "TD002 = '2503010002'"), 4);
    EXPECT_EQ(count("COPTM", "TM002 IN ('2503010001', '2503010002')"), 2);
    EXPECT_EQ(counter("250301"), 2);
    EXPECT_EQ(client.server->call("WhatIs", {"SEQNO"}), Variant("2503010002"));
}

TEST_P(OrderSaveTest, ALineTheDatabaseRefusesTakesTheWholeSaveBack)
{
    // Two lines of one key: the database refuses the second while the order is written.
    OrderClient client(connected());
    client.open("1=2");
    client.appendHead("2201", "2503010099", "20250301", "C001");
    client.appendLine("0001", "A100", 1);
    client.appendLine("0001", "A200", 2);
    EXPECT_EQ(client.save(true), 1);
    ASSERT_EQ(client.reconciled.size(), 1u);
    EXPECT_TRUE(contains(client.reconciled[0].message, "The key is already in use (COPTD TD001=2201, TD002=2503010001, "
                                                       "TD003=0001)"));
    EXPECT_EQ(count("COPTC", "TC003 = '20250301'") + count("COPTD", "TD002 LIKE '250301%'"), 0);
    EXPECT_EQ(counter("250301"), 0);
    EXPECT_EQ(client.server->call("WhatIs", {"SEQNO"}), Variant(""));

    // Corrected, the same change log saves under the number the failed save did not use.
    client.body1.last();
    OrderClient::change(client.body1, {{"TD003", "0002"}});
    EXPECT_EQ(client.save(true), 0);
    EXPECT_EQ(count("COPTD", "TD002 = '2503010001'"), 2);
}

INSTANTIATE_TEST_SUITE_P(Backends, OrderSaveTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
