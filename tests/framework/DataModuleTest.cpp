// The data modules over the real demonstration server: the root module's connection on every
// road; embedded (the server's own tests run saves on both backends): adding and editing orders
// with their audit fields and FLAG, and the code checks against master tables.
#include "framework/ProgramHost.h"

#include "platform/data/SilentAbort.h"

#include "support/Contains.h"

namespace orvane::test {
namespace {

// One user's form over an order module with lines.
class DataModuleTest : public ModuleHostTest {
protected:
    void SetUp() override
    {
        ModuleHostTest::SetUp();
        signIn(brokers);
        module.setBrokers(&brokers);
    }

    // The form started: its module connected, its data open and its lines bound.
    void connect()
    {
        EXPECT_TRUE(connectModule(module, brokers, owner, hostObject()));
        brokers.setUserGroup(brokers.ProgramParameter("USER_GROUP"));
        module.bindLines();
    }
    // The form's edit command on the current head.
    void editOrder()
    {
        owner.mode = RecordMode::Edit;
        module.RefreshToday();
        head().edit();
    }
    ClientDataSet& head() { return module.cdsMain; }
    Field& field(const char* name) { return module.cdsMain.fieldByName(name); }

    HeadLinesModule module;
};

TEST_P(DataModuleTest, ConnectLogsTheProgramInAndTakesItsParameters)
{
    ASSERT_TRUE(module.ConnectServer());
    EXPECT_TRUE(module.connected());
    EXPECT_EQ(brokers.ProgramParameter("POWER_DATA"), ",Y,Y,YYYYYYYYYYYY,YYYYYYY,YYYYYYY");
    EXPECT_EQ(module.WhatIs("SQLTYPE"), Variant(road() == Road::TcpPostgres ? 2 : 1)) << "1 SQLite, 2 PostgreSQL";
    module.CloseConnection();
    EXPECT_FALSE(module.connected());
    EXPECT_TRUE(contains(errorOf([&] { module.WhatIs("SQLTYPE"); }), "not connected"));
}

TEST_F(DataModuleTest, FailedConnectsGiveNoParametersAndNameTheServer)
{
    brokers.setProgramId("TAVB14");
    EXPECT_FALSE(module.ConnectServer()) << "a program the server refuses";
    EXPECT_EQ(brokers.ProgramParameter("POWER_DATA"), "");

    ServerConnector::install(nullptr);
    std::string error = errorOf([&] { module.ConnectServer(); });
    EXPECT_TRUE(contains(error, "application server 127.0.0.1:211"));
    EXPECT_TRUE(contains(error, "no server connector"));

    ::setenv("ORVANE_SETTINGS", (folder_ / "missing.ini").c_str(), 1);
    error = errorOf([&] { module.ConnectServer(); });
    EXPECT_TRUE(contains(error, "application server :211")) << "no configuration, no address";
    EXPECT_FALSE(module.connected());
}

TEST_F(DataModuleTest, AnOrderIsAddedStampedSavedAndEditedTwice)
{
    connect();
    EXPECT_EQ(head().packetRecords(), 20);
    EXPECT_TRUE(module.IsLocalServer());

    enterOrder(module, owner, "2503010101");
    EXPECT_EQ(field("COMPANY").asString(), "PRTest50");
    EXPECT_EQ(field("CREATOR").asString(), "ZT");
    EXPECT_EQ(field("USR_GROUP").asString(), brokers.ProgramParameter("USER_GROUP"));
    EXPECT_EQ(field("CREATE_DATE").asString(), module.WhatIs("TODAY").toString());
    EXPECT_EQ(field("FLAG").asFloat(), -1);
    EXPECT_EQ(field("TC029").asFloat(), 0) << "empty numbers are filled";
    ASSERT_TRUE(module.SaveData(head()));
    EXPECT_EQ(field("FLAG").asFloat(), 1);

    // How an edit counts the FLAG, the rules test says; here: what the server stores of two edits.
    editOrder();
    field("TC012").setAsString("PO-1");
    head().post();
    head().edit();
    field("TC015").setAsString("second edit");
    ASSERT_TRUE(module.SaveData(head()));

    owner.mode = RecordMode::Browse;
    std::string condition;
    ASSERT_TRUE(module.KeyCondition(condition));
    module.OpenDataSet(head(), condition, "");
    ASSERT_EQ(head().recordCount(), 1);
    EXPECT_EQ(field("FLAG").asFloat(), 2);
    EXPECT_EQ(field("TC012").asString(), "PO-1");
    EXPECT_EQ(field("TC015").asString(), "second edit");
    EXPECT_EQ(field("MODI_DATE").asString(), module.Today());
    EXPECT_EQ(module.cdsBody1.recordCount(), 1);
}

TEST_F(DataModuleTest, CodesAreCheckedAgainstTheirMasterTable)
{
    connect();
    Field& factory = field("TC007");
    editOrder();
    factory.setAsString("01");
    field("TC007C1").setAsString("");
    EXPECT_TRUE(module.CodeLookup(factory, "CMSMB", "E", "TC007C1", "01"));
    EXPECT_NE(field("TC007C1").asString(), "");

    factory.setAsString("");
    EXPECT_TRUE(module.CodeLookup(factory, "CMSMB", "E", "TC007C1", "01"));
    EXPECT_EQ(field("TC007C1").asString(), "") << "an empty code clears its companions";
    EXPECT_TRUE(owner.messages.empty());

    factory.setDisplayLabel("Factory");
    factory.setAsString("ZZ");
    EXPECT_THROW(module.CodeLookup(factory, "CMSMB", "E", "TC007C1", "01"), SilentAbort);
    EXPECT_FALSE(module.CodeExists(factory, "CMSMB", "01"));
    EXPECT_FALSE(module.CodeLookup(factory, "CMSMB", "W", "TC007C1", "01")) << "a warning answered OK passes";
    const std::vector<std::pair<std::string, std::string>> expected{{"E000001", "Factory"}, {"W000004", "Factory"}};
    EXPECT_EQ(owner.messages, expected);

    owner.messages.clear();
    Field& number = field("TC002");
    EXPECT_FALSE(module.CheckKeyUnique(number, "COPTC", "W", "TC001,TC002", "03")) << "the seeded order holds this key";
    EXPECT_EQ(owner.messages.at(0).first, "W000005");
    number.setAsString("29991231999");
    EXPECT_TRUE(module.CheckKeyUnique(number, "COPTC", "E", "TC001,TC002", "03"));
}

INSTANTIATE_TEST_SUITE_P(Roads, DataModuleTest, everyRoad(), roadName);

} // namespace
} // namespace orvane::test
