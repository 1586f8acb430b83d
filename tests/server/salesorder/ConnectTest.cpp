// Opening the order program's session: who may connect, what SvrData and WhatIs answer,
// and that nothing else answers before a successful Connect.
#include "OrderFixture.h"

#include "server/schema/SchemaBuilder.h"

namespace orvane::test {
namespace {

class ConnectTest : public OrderFixture {};

TEST_F(ConnectTest, RefusalsHaveTheirOwnCodes)
{
    db_->execute("UPDATE " + table("ADMMG") + " SET MG003 = 'N' WHERE MG001 = 'SALES01'");
    struct Case {
        const char* what;
        std::vector<Variant> request;
        int code;
    };
    const std::vector<Case> cases = {
        {"accepted", {"TAVI52", "ZT", "PRTest50", "PRTest50", true}, 0},
        {"company database left to the server", {"TAVI52", "ZT", "PRTest50", "", 0}, 0},
        {"program id in another case", {"tavi52", "ZT", "PRTest50", "PRTest50", 0}, 0},
        {"too few elements", {"TAVI52", "ZT", "PRTest50"}, 1},
        {"an element that is an array", {"TAVI52", Variant::arrayOf({"ZT"}), "PRTest50", "PRTest50", 0}, 1},
        {"empty user", {"TAVI52", "", "PRTest50", "PRTest50", 0}, 1},
        {"unknown company", {"TAVI52", "ZT", "NOSUCH", "PRTest50", 0}, 2},
        {"another company's database", {"TAVI52", "ZT", "PRTest50", "Other", 0}, 2},
        {"database named like an injection", {"TAVI52", "ZT", "PRTest50", "PRTest50\".X; --", 0}, 2},
        {"unknown user", {"TAVI52", "NOBODY", "PRTest50", "PRTest50", 0}, 3},
        {"another program", {"TAVI61", "ZT", "PRTest50", "PRTest50", 0}, 4},
        {"rights row says N", {"TAVI52", "SALES01", "PRTest50", "PRTest50", 0}, 5},
    };
    for (const Case& c : cases) {
        DispatchPtr object = registry_.create("TAVIS52S.Class1");
        EXPECT_EQ(connect(*object, c.request), c.code) << c.what;
    }
    DispatchPtr object = registry_.create("TavIS52S.Class1");
    std::vector<Variant> notAnArray{Variant("TAVI52")};
    EXPECT_EQ(object->invoke("Connect", notAnArray), Variant(1));

    // A rights row lets its user in only with "Y", or whatever it says for a super user.
    db_->execute("UPDATE " + table("ADMMG") + " SET MG003 = '' WHERE MG001 = 'SALES01'");
    EXPECT_EQ(connect(*registry_.create("TavIS52S.Class1"), {"TAVI52", "SALES01", "PRTest50", "PRTest50", 0}), 5);
    db_->execute("UPDATE " + table("ADMMG") + " SET MG003 = 'N' WHERE MG001 = 'ZT'");
    EXPECT_EQ(connect(*registry_.create("TavIS52S.Class1"), {"TAVI52", "ZT", "PRTest50", "PRTest50", 0}), 0);

    // The program row and the user's rights row must be there.
    db_->execute("DELETE FROM " + table("ADMMG") + " WHERE MG001 = 'SALES01'");
    EXPECT_EQ(connect(*registry_.create("TavIS52S.Class1"), {"TAVI52", "SALES01", "PRTest50", "PRTest50", 0}), 5);
    db_->execute("DELETE FROM " + table("ADMMB") + " WHERE MB001 = 'TAVI52'");
    EXPECT_EQ(connect(*registry_.create("TavIS52S.Class1"), {"TAVI52", "ZT", "PRTest50", "PRTest50", 0}), 4);
}

TEST_F(ConnectTest, ALoggedInSessionConnectsOnlyItsOwnUser)
{
    DispatchPtr object = registry_.create("TavIS52S.Class1");
    EXPECT_TRUE(object->call("Login", {"SALES01", "demo", "PRTest50"}).toBoolean());
    EXPECT_EQ(connect(*object, {"TAVI52", "ZT", "PRTest50", "PRTest50", 0}), 6);
    EXPECT_EQ(connect(*object, {"TAVI52", "SALES01", "PRTest50", "PRTest50", 0}), 0);

    // The embedded server's process login (Attach, of a known user) binds every object created after it.
    AutomationRegistry embedded;
    auto context = registerServices(pool_, {.embedded = true}, embedded);
    registerOrderServer(context, embedded);
    const DispatchPtr shell = embedded.create("OrvaneS.Services");
    EXPECT_FALSE(shell->call("Attach", {"NOBODY", "PRTest50"}).toBoolean());
    EXPECT_TRUE(shell->call("Attach", {"ZT", "PRTest50"}).toBoolean());
    EXPECT_EQ(connect(*embedded.create("TavIS52S.Class1"), {"TAVI52", "SALES01", "PRTest50", "PRTest50", 0}), 6);
    EXPECT_EQ(connect(*embedded.create("TavIS52S.Class1"), {"TAVI52", "ZT", "PRTest50", "PRTest50", 0}), 0);
}

TEST_F(ConnectTest, SvrDataCarriesTheUsersRightsAndTheProgramParameters)
{
    DispatchPtr object = connected("SALES01");
    EXPECT_EQ(object->get("SvrData"), Variant("MAX_RECORD=20\r\n"
                                              "USER_GROUP=SALES\r\n"
                                              "GROUP_LIST='SALES'\r\n"
                                              "POWER_DATA=,N,N,YYYNNNRRNNNN,NNNNNNN,NNNNNNN\r\n"
                                              "D11_KEY=TD001,TD002,TD003\r\n"
                                              "D11_TABLE=COPTD\r\n"
                                              "F11_KEY=TM001,TM002,TM003\r\n"
                                              "M11_KEY=TC001,TC002\r\n"
                                              "M11_TABLE=COPTC\r\n"));

    // MAX_RECORD is always sent, and at most 20.
    for (const auto& [stored, sent] : std::vector<std::pair<const char*, const char*>>{
             {"50", "MAX_RECORD=20"}, {"5", "MAX_RECORD=5"}, {"abc", "MAX_RECORD=20"}, {"0", "MAX_RECORD=20"}}) {
        db_->execute("UPDATE " + table("PRG_PARAM") + " SET PARAM_VALUE = ? WHERE PARAM_NAME = 'MAX_RECORD'", {stored});
        EXPECT_EQ(connected()->get("SvrData").toString().substr(0, std::string(sent).size()), sent) << stored;
    }
    db_->execute("DELETE FROM " + table("PRG_PARAM") + " WHERE PARAM_NAME = 'MAX_RECORD'");
    EXPECT_EQ(connected()->get("SvrData").toString().substr(0, 13), "MAX_RECORD=20");
}

// The database kind each backend answers: DataModuleTest, on every road.
TEST_F(ConnectTest, WhatIsAnswersTheNumberAndTheDate)
{
    DispatchPtr object = connected();
    EXPECT_EQ(object->call("Whatis", {"seqno"}), Variant(""));
    EXPECT_EQ(object->call("Whatis", {"TODAY"}), Variant(todayText()));
    EXPECT_EQ(object->call("TODAY"), Variant(todayText()));
    EXPECT_EQ(errorOf([&] { object->call("WhatIs", {"COLOUR"}); }),
              "WhatIs: unknown item 'COLOUR' (SQLTYPE, SEQNO or TODAY)");
    EXPECT_EQ(errorOf([&] { object->call("SetTopRow", {-1}); }), "SetTopRow: -1 is not a row limit (0 for none)");
}

TEST_F(ConnectTest, NothingAnswersBeforeASuccessfulConnect)
{
    DispatchPtr object = registry_.create("TavIS52S.Class1");
    EXPECT_EQ(object->get("SvrData"), Variant(""));
    const std::string refused = "TavIS52S.Class1: WhatIs needs a successful Connect first";
    EXPECT_EQ(errorOf([&] { object->call("WhatIs", {"SQLTYPE"}); }), refused);
    EXPECT_NE(errorOf([&] { object->call("SetIsSeq", {true}); }), "");
    EXPECT_NE(errorOf([&] { object->call("TODAY"); }), "");
    DispatchProvider provider(object, "pvdMain");
    EXPECT_EQ(errorOf([&] { provider.getRecords(20, Variant(), true); }),
              "TavIS52S.Class1: AS_GetRecords needs a successful Connect first");

    // A refused Connect closes a session that was open.
    EXPECT_EQ(connect(*object, {"TAVI52", "ZT", "PRTest50", "PRTest50", 0}), 0);
    EXPECT_EQ(connect(*object, {"TAVI52", "NOBODY", "PRTest50", "PRTest50", 0}), 3);
    EXPECT_EQ(object->get("SvrData"), Variant(""));
    EXPECT_NE(errorOf([&] { provider.getRecords(20, Variant(), true); }), "");
}

} // namespace
} // namespace orvane::test
