#include "ServicesFixture.h"

#include "server/db/SqliteDatabase.h"

namespace orvane::test {
namespace {

class ServicesTest : public ServicesFixture {};

// Two names that differ in case only are two methods: SalesMethodsTest's QtyDToS and QtyDTos.
TEST_F(ServicesTest, NamedMethodsAreExactAndRegisteredOnce)
{
    NamedMethods methods;
    methods.add("QtyDToS", [](const MethodCall&) { return Variant(1); });
    EXPECT_EQ(errorOf([&] { methods.add("QtyDToS", [](const MethodCall&) { return Variant(); }); }),
              "Server method 'QtyDToS' is registered twice");
    SqliteDatabase db(":memory:");
    const SessionLogin login;
    const Variant args;
    const auto call = [&](std::string_view name) { return methods.call(name, MethodCall{db, login, args}); };
    EXPECT_EQ(call("QtyDToS"), Variant(1));
    EXPECT_EQ(errorOf([&] { call("QTYDTOS"); }), "Unknown server method 'QTYDTOS'");
}

TEST_F(ServicesTest, LoginChecksPasswordUserAndCompany)
{
    const DispatchPtr fresh = object("OrvaneS.Services", false);
    EXPECT_EQ(errorOf([&] { fresh->call("GetSysInfo", {"PRTest50"}); }),
              "OrvaneS.Services: not logged in; call Login first");
    EXPECT_FALSE(fresh->call("Login", {"ZT", "wrong", "PRTest50"}).toBoolean());
    EXPECT_FALSE(fresh->call("Login", {"NOBODY", "demo", "PRTest50"}).toBoolean());
    EXPECT_FALSE(fresh->call("Login", {"ZT", "demo", "OTHER"}).toBoolean());
    EXPECT_TRUE(fresh->call("Login", {"SALES01", "demo", "PRTest50"}).toBoolean());
    EXPECT_NO_THROW(fresh->call("GetSysInfo", {"PRTest50"}));
    EXPECT_EQ(errorOf([&] { fresh->call("GetSysInfo", {"OTHER"}); }),
              "Company 'OTHER' is not this session's ('PRTest50')");
    const auto attach = [&] { fresh->call("Attach", {"ZT", "PRTest50"}); };
    EXPECT_EQ(errorOf(attach), "OrvaneS.Services: Attach is only for the embedded server; log in with a password");
    // A network server never hands one session's login to the next object.
    EXPECT_FALSE(std::static_pointer_cast<SessionObject>(object("F2WindowS.Class1", false))->loggedIn());
}

// The company database written back: ServerAccessTest, on both roads.
TEST_F(ServicesTest, CheckValueAnswersOneRowOrTheNotFoundRow)
{
    const Validated dept = validate("CheckValue", "CMSME", "01", Variant::arrayOf({"S20"}), "");
    EXPECT_TRUE(dept.found);
    EXPECT_EQ(dept.result, Variant::arrayOf({"外销业务部"}));

    const Validated missing = validate("CheckValue", "COPMA", "08", Variant::arrayOf({"NONE"}));
    EXPECT_FALSE(missing.found);
    EXPECT_EQ(missing.result.array().size(), 41u); // the not-found row: LookupQueryTest

    EXPECT_EQ(errorOf([&] { validate("CheckValue", "COPMA", "77", Variant::arrayOf({"C001"})); }),
              "Unknown row lookup: table 'COPMA' kind '77'");
    EXPECT_EQ(errorOf([&] { validate("CheckValue", "CMSME", "01", Variant::arrayOf({"S20"}), "Other"); }),
              "Company database 'Other' is not this session's ('PRTest50')");
    // A key is a value: a quote in it finds nothing and breaks nothing.
    EXPECT_FALSE(validate("CheckValue", "CMSME", "01", Variant::arrayOf({"S20' OR '1'='1"})).found);
}

// Lookups that arrive together are read in one round trip where the backend allows; each is still
// answered as alone, and one the catalogue refuses is refused by its own call.
TEST_P(ServicesTest, LookupsAnnouncedTogetherAnswerAsAlone)
{
    const auto lookup = [](const char* table, const char* kind, const char* key) {
        return std::vector<Variant>{table, kind, "PRTest50", Variant::arrayOf({key}), Variant()};
    };
    ASSERT_TRUE(services_->preparesCalls("checkvalue"));
    services_->prepareCalls("CheckValue", std::vector{lookup("CMSME", "01", "S20"), lookup("COPMA", "08", "NONE"),
                                                      lookup("COPMA", "77", "C001"), lookup("CMSME", "01", "S20")});
    for (int twice = 0; twice < 2; ++twice)
        EXPECT_EQ(validate("CheckValue", "CMSME", "01", Variant::arrayOf({"S20"})).result,
                  Variant::arrayOf({"外销业务部"}));
    EXPECT_FALSE(validate("CheckValue", "COPMA", "08", Variant::arrayOf({"NONE"})).found);
    EXPECT_EQ(errorOf([&] { validate("CheckValue", "COPMA", "77", Variant::arrayOf({"C001"})); }),
              "Unknown row lookup: table 'COPMA' kind '77'");
    // A read its call did not take (refused before it read) ends with the run: later calls read anew.
    std::vector<Variant> otherCompany = lookup("CMSME", "01", "S20");
    otherCompany[2] = "Other";
    services_->prepareCalls("CheckValue", std::vector{otherCompany, lookup("COPMA", "08", "NONE")});
    EXPECT_EQ(errorOf([&] { services_->call("CheckValue", otherCompany); }),
              "Company database 'Other' is not this session's ('PRTest50')");
    EXPECT_FALSE(validate("CheckValue", "COPMA", "08", Variant::arrayOf({"NONE"})).found);
    executeInCompany("UPDATE PRTest50..CMSME SET ME002 = 'renamed' WHERE ME001 = 'S20'");
    EXPECT_EQ(validate("CheckValue", "CMSME", "01", Variant::arrayOf({"S20"})).result, Variant::arrayOf({"renamed"}));

    // Before a login there is nothing to prepare; each call refuses itself.
    const DispatchPtr guest = object("OrvaneS.Services", false);
    guest->prepareCalls("CheckValue", std::vector{lookup("CMSME", "01", "S20"), lookup("CMSME", "01", "S20")});
    EXPECT_EQ(errorOf([&] { guest->call("CheckValue", lookup("CMSME", "01", "S20")); }),
              "OrvaneS.Services: not logged in; call Login first");
}

// Every row of a quotation's lines: OrderCommandsTest copies them into an order.
TEST_F(ServicesTest, QueryDataAnswersNothingForNoRows)
{
    const Validated none = validate("QueryData", "COPTB", "02", Variant::arrayOf({"2101", "NONE", "", ""}));
    EXPECT_FALSE(none.found);
    EXPECT_TRUE(none.result.isArray());
    EXPECT_TRUE(none.result.isEmpty());
}

// A type numbered by hand gets no number: OrderHeadChecksTest, through the order's head.
TEST_F(ServicesTest, GetCounterCallsTheNamedMethodForTheSessionsCompany)
{
    EXPECT_EQ(counter("NewDocNo", Variant::arrayOf({"2201", "20250120"})), Variant("2501200002"));
    std::vector<Variant> otherCompany{"NewDocNo", Variant::arrayOf({"PRTest50", "Other"}),
                                      Variant::arrayOf({"2201", "20250120"})};
    EXPECT_NE(errorOf([&] { services_->invoke("GETCOUNTER", otherCompany); }), "");
}

// A message's text as the client shows it, its placeholder filled: DialogsTest.
TEST_F(ServicesTest, MessagesAndTheServerDate)
{
    EXPECT_EQ(services_->call("GetMessage", {"I", "100013"}).toString().substr(0, 6), "下列"); // not E 100013
    EXPECT_EQ(services_->call("GetMessage", {"E", "999999"}), Variant(""));
    const auto injected = [&] { services_->call("GetMessage", {"E", "1' OR '1"}); };
    EXPECT_EQ(errorOf(injected), "GetMessage: 'E' '1' OR '1' is not a type letter and a six-digit code");
    const std::string today = services_->call("TODAY").toString();
    ASSERT_EQ(today.size(), 8u);
    EXPECT_EQ(today.find_first_not_of("0123456789"), std::string::npos);
}

TEST_F(ServicesTest, QueryMaxSeqPreviewsTheNumbering)
{
    std::vector<Variant> args{"COPTC",   "TC001,TC002", Variant::arrayOf({"2201"}), "20250120", Variant(),
                              Variant(), Variant()};
    EXPECT_TRUE(services_->invoke("QueryMaxSeq", args).toBoolean());
    EXPECT_EQ(args[1], Variant::arrayOf({"TC001", "TC002"}));
    EXPECT_EQ(args[4], Variant("1"));
    EXPECT_EQ(args[5], Variant("2501200001"));
    EXPECT_EQ(args[6], Variant("2501200002"));

    std::vector<Variant> table{"SYS_USER", "A,B", "", "", Variant(), Variant(), Variant()};
    EXPECT_EQ(errorOf([&] { services_->invoke("QueryMaxSeq", table); }), "Table 'SYS_USER' has no document numbering");
}

INSTANTIATE_TEST_SUITE_P(Backends, ServicesTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
