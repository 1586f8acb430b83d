// The data modules over the real demonstration server: the root module's connection on every
// road; embedded (the server's own tests run saves on both backends): adding and editing orders
// with their audit fields and FLAG, and the code checks against master tables.
#include "framework/ModuleOwner.h"
#include "framework/ProgramHost.h"

#include "platform/data/SilentAbort.h"

#include "support/Contains.h"

namespace orvane::test {
namespace {

// One user's form over an order module with lines.
struct Client {
    ModuleOwner owner;
    TBrokers brokers{owner, owner};
    HeadLinesModule module;
    ClientDataSet& head() { return module.cdsMain; }
    Field& field(const char* name) { return module.cdsMain.fieldByName(name); }
};

class DataModuleTest : public ProgramHostTest {
protected:
    void SetUp() override
    {
        ProgramHostTest::SetUp();
        signIn(brokers);
        module.setBrokers(&brokers);
    }

    std::unique_ptr<Client> connect()
    {
        auto client = std::make_unique<Client>();
        TBrokers& brokers = client->brokers;
        EXPECT_TRUE(connectModule(client->module, brokers, client->owner, hostObject()));
        brokers.setUserGroup(brokers.ProgramParameter("USER_GROUP"));
        client->module.bindLines();
        return client;
    }

    // The form's edit command on the current head.
    static void editOrder(Client& client)
    {
        client.owner.mode = RecordMode::Edit;
        client.module.RefreshToday();
        client.head().edit();
    }

    // Reopens the head dataset on the key of the order it shows (browsing), as the server holds it.
    static void reopen(Client& client)
    {
        std::string condition;
        ASSERT_TRUE(client.module.KeyCondition(condition));
        client.module.OpenDataSet(client.head(), condition, "");
        ASSERT_EQ(client.head().recordCount(), 1);
    }

    ModuleOwner owner;
    TBrokers brokers{owner, owner};
    TdmVozuraz module;
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
    const auto client = connect();
    EXPECT_EQ(client->head().packetRecords(), 20);
    EXPECT_TRUE(client->module.IsLocalServer());

    enterOrder(client->module, client->owner, "2503010101");
    EXPECT_EQ(client->field("COMPANY").asString(), "PRTest50");
    EXPECT_EQ(client->field("CREATOR").asString(), "ZT");
    EXPECT_EQ(client->field("USR_GROUP").asString(), client->brokers.ProgramParameter("USER_GROUP"));
    EXPECT_EQ(client->field("CREATE_DATE").asString(), client->module.WhatIs("TODAY").toString());
    EXPECT_EQ(client->field("FLAG").asFloat(), -1);
    EXPECT_EQ(client->field("TC029").asFloat(), 0) << "empty numbers are filled";
    ASSERT_TRUE(client->module.SaveData(client->head()));
    EXPECT_EQ(client->field("FLAG").asFloat(), 1);

    // How an edit counts the FLAG, the rules test says; here: what the server stores of two edits.
    editOrder(*client);
    client->field("TC012").setAsString("PO-1");
    client->head().post();
    client->head().edit();
    client->field("TC015").setAsString("second edit");
    ASSERT_TRUE(client->module.SaveData(client->head()));

    client->owner.mode = RecordMode::Browse;
    reopen(*client);
    EXPECT_EQ(client->field("FLAG").asFloat(), 2);
    EXPECT_EQ(client->field("TC012").asString(), "PO-1");
    EXPECT_EQ(client->field("TC015").asString(), "second edit");
    EXPECT_EQ(client->field("MODI_DATE").asString(), client->module.Today());
    EXPECT_EQ(client->module.cdsBody1.recordCount(), 1);
}

TEST_F(DataModuleTest, CodesAreCheckedAgainstTheirMasterTable)
{
    const auto client = connect();
    Field& factory = client->field("TC007");
    editOrder(*client);
    factory.setAsString("01");
    client->field("TC007C1").setAsString("");
    EXPECT_TRUE(client->module.CodeLookup(factory, "CMSMB", "E", "TC007C1", "01"));
    EXPECT_NE(client->field("TC007C1").asString(), "");

    factory.setAsString("");
    EXPECT_TRUE(client->module.CodeLookup(factory, "CMSMB", "E", "TC007C1", "01"));
    EXPECT_EQ(client->field("TC007C1").asString(), "") << "an empty code clears its companions";
    EXPECT_TRUE(client->owner.messages.empty());

    factory.setDisplayLabel("Factory");
    factory.setAsString("ZZ");
    EXPECT_THROW(client->module.CodeLookup(factory, "CMSMB", "E", "TC007C1", "01"), SilentAbort);
    EXPECT_FALSE(client->module.CodeExists(factory, "CMSMB", "01"));
    EXPECT_FALSE(client->module.CodeLookup(factory, "CMSMB", "W", "TC007C1", "01")) << "a warning answered OK passes";
    const std::vector<std::pair<std::string, std::string>> expected{{"E000001", "Factory"}, {"W000004", "Factory"}};
    EXPECT_EQ(client->owner.messages, expected);

    client->owner.messages.clear();
    Field& number = client->field("TC002");
    EXPECT_FALSE(client->module.CheckKeyUnique(number, "COPTC", "W", "TC001,TC002", "03"))
        << "the seeded order holds this key";
    EXPECT_EQ(client->owner.messages.at(0).first, "W000005");
    number.setAsString("29991231999");
    EXPECT_TRUE(client->module.CheckKeyUnique(number, "COPTC", "E", "TC001,TC002", "03"));
}

INSTANTIATE_TEST_SUITE_P(Roads, DataModuleTest, everyRoad(), roadName);

} // namespace
} // namespace orvane::test
