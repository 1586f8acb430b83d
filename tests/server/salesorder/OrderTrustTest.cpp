// What the order server decides itself, whatever a client sends: the user's rights, the
// confirmation code and what it closes, the audit columns, the form of a typed number, a stale
// FLAG that went round its cycle, and a save sent again after its answer was lost.
#include "OrderFixture.h"
#include "support/Contains.h"

#include "server/schema/SchemaBuilder.h"

namespace orvane::test {
namespace {

class OrderTrustTest : public OrderFixture {
protected:
    std::string stored(const char* tableName, const char* column, const std::string& where)
    {
        return scalar(std::string("SELECT ") + column + " FROM " + table(tableName) + " WHERE " + where).toString();
    }
    void setRights(const std::string& user, const std::string& powerData, const std::string& groupList = {})
    {
        db_->execute("UPDATE " + table("ADMMG") + " SET MG006 = ? WHERE MG001 = ?", {powerData, user});
        if (!groupList.empty())
            db_->execute("UPDATE " + table("ADMMF") + " SET MF006 = ? WHERE MF001 = ?", {groupList, user});
    }
    static std::string firstMessage(const OrderClient& client)
    {
        return client.reconciled.empty() ? std::string() : client.reconciled[0].message;
    }
};

TEST_F(OrderTrustTest, TheServerRefusesWhatTheUsersRightsDoNotAllow)
{
    // SALES01 may add and edit its own orders, never delete.
    const Variant lines = scalar("SELECT COUNT(*) FROM " + table("COPTD") + " WHERE TD002 = '2501200001'");
    OrderClient sales(connected("SALES01"));
    sales.open("TC002 = '2501200001'");
    sales.main.deleteRecord();
    EXPECT_EQ(sales.save(), 1);
    EXPECT_TRUE(contains(firstMessage(sales),
                         "您没有使用本程序的权限! (no right to delete the order): COPTC TC001=2201, "
                         "TC002=2501200001"));
    EXPECT_EQ(count("COPTC", "TC002 = '2501200001'"), 1);
    // Neither may it confirm the order, nor void it through a save.
    std::vector<Variant> request{Variant::arrayOf({Variant::arrayOf({"2201", "2501200001"}), 1, "DO", "TXN"})};
    EXPECT_EQ(sales.server->invoke("Confirm", request)[0], Variant(6));
    sales.main.cancelUpdates();
    EXPECT_EQ(sales.saveHead({{"TC027", "V"}}), 1);
    EXPECT_TRUE(contains(firstMessage(sales), "no right to void the order"));
    EXPECT_EQ(stored("COPTC", "TC027", "TC002 = '2501200001'"), "N");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM " + table("COPTD") + " WHERE TD002 = '2501200001'"), lines);

    // Record-level rights: the own and the group's orders may change, other users' may not.
    setRights("SALES01", ",N,N,YYYYNNRRNNNY,YY,NN");
    OrderClient others(connected("SALES01"));
    others.open("TC002 = '2501200001'");
    EXPECT_EQ(others.saveHead({{"TC015", "not mine"}}), 1);
    EXPECT_TRUE(contains(firstMessage(others), "no right to change the order"));
    setRights("SALES01", ",N,N,YYYYNNRRNNNY,YY,NN", "'SALES','ADMIN'");
    OrderClient group(connected("SALES01"));
    group.open("TC002 = '2501200001'");
    EXPECT_EQ(group.saveHead({{"TC015", "my group's"}}), 0);

    // Without the add right a new order is refused, lines and all.
    setRights("SALES01", ",N,N,YNYYNNNNNNNN");
    OrderClient noAdd(connected("SALES01"));
    noAdd.open("1=2");
    noAdd.enterOrder("2503010001");
    EXPECT_EQ(noAdd.save(), 1);
    EXPECT_TRUE(contains(firstMessage(noAdd), "no right to add the order"));
    EXPECT_EQ(count("COPTC", "TC002 = '2503010001'"), 0);
}

TEST_F(OrderTrustTest, ASaveOnlyVoidsOrUnvoidsAndTheApproverAndTheLinesCodeAreTheServers)
{
    // SALES01 may edit, never confirm or void.
    const std::string head = "TC002 = '2501200001'";
    OrderClient sales(connected("SALES01"));
    sales.open(head);
    EXPECT_EQ(sales.saveHead({{"TC027", "Y"}}), 1);
    EXPECT_EQ(firstMessage(sales), "COPTC TC001=2201, TC002=2501200001: a save cannot change TC027 from 'N' to 'Y'; "
                                   "confirming and unconfirming go through the confirm command, a save only voids "
                                   "(N to V) or un-voids (V to N)");
    sales.main.cancelUpdates();
    OrderClient::change(sales.body1, {{"TD021", "Y"}}, true);
    ASSERT_EQ(sales.saveHead({{"TC040", "SALES01"}, {"TC015", "approved?"}}), 0);
    EXPECT_EQ(stored("COPTC", "TC040", head) + stored("COPTD", "TD021", "TD002 = '2501200001'"), "N");

    // "" and "N" both mean not confirmed: a save from one to the other changes no state.
    db_->execute("UPDATE " + table("COPTC") + " SET TC027 = '' WHERE " + head);
    sales.open(head);
    EXPECT_EQ(sales.saveHead({{"TC027", "N"}}), 0) << firstMessage(sales);

    // Un-voiding needs the void right as voiding does.
    db_->execute("UPDATE " + table("COPTC") + " SET TC027 = 'V' WHERE " + head);
    sales.open(head);
    EXPECT_EQ(sales.saveHead({{"TC027", "N"}}), 1);
    EXPECT_TRUE(contains(firstMessage(sales), "no right to void the order"));
    EXPECT_EQ(stored("COPTC", "TC027", head), "V");

    // A new order starts unconfirmed, without approver; its lines take the head's code.
    sales.open("1=2");
    sales.enterOrder("2503010001");
    OrderClient::change(sales.main, {{"TC027", "Y"}});
    EXPECT_EQ(sales.save(), 1);
    EXPECT_EQ(firstMessage(sales), "COPTC TC001=2201, TC002=2503010001: a new order's TC027 must be 'N' or empty, "
                                   "not 'Y'; confirming goes through the confirm command");
    OrderClient::change(sales.main, {{"TC027", "N"}, {"TC040", "SALES01"}});
    OrderClient::change(sales.body1, {{"TD021", "Y"}});
    ASSERT_EQ(sales.save(), 0);
    EXPECT_EQ(stored("COPTC", "TC040", "TC002 = '2503010001'"), "");
    EXPECT_EQ(count("COPTD", "TD002 = '2503010001' AND TD021 = 'N'"), 3);
}

TEST_F(OrderTrustTest, AConfirmedFailedOrVoidOrderIsClosedToSavesButItsStatuses)
{
    const std::string head = "TC002 = '2501200001'";
    const std::string order = "COPTC TC001=2201, TC002=2501200001 ";
    OrderClient client(connected()); // every right
    for (const auto& [state, closed] : {std::pair{"U", "failed its confirmation (TC027 'U'): unconfirm it"},
                                        std::pair{"V", "is void (TC027 'V'): un-void it"},
                                        std::pair{"Y", "is confirmed (TC027 'Y'): unconfirm it"}}) {
        db_->execute("UPDATE " + table("COPTC") + " SET TC027 = ? WHERE " + head, {state});
        client.open(head);
        EXPECT_EQ(client.saveHead({{"TC015", "changed"}}), 1);
        EXPECT_EQ(firstMessage(client), order + closed + " before changing TC015");
    }
    const std::string confirmed = order + "is confirmed (TC027 'Y'): unconfirm it before ";
    const auto refused = [&](const std::string& what) {
        EXPECT_EQ(client.save(), 1) << what;
        EXPECT_EQ(firstMessage(client), confirmed + what);
        client.main.cancelUpdates();
    };
    client.main.cancelUpdates();
    OrderClient::change(client.body1, {{"TD008", "1"}}, true);
    refused("changing its lines");
    client.appendLine("0002", "A200", 1);
    refused("changing its lines");
    client.body1.deleteRecord();
    refused("changing its lines");
    client.main.deleteRecord();
    refused("deleting it");
    EXPECT_EQ(count("COPTD", "TD002 = '2501200001' AND TD008 = 20"), 1);

    // The sign-off and transfer statuses are saved on a confirmed order; a void one may be un-voided.
    EXPECT_EQ(client.saveHead({{"TC048", "N"}, {"TC050", "Y"}}), 0);
    db_->execute("UPDATE " + table("COPTC") + " SET TC027 = 'V' WHERE " + head);
    client.open(head);
    EXPECT_EQ(client.saveHead({{"TC027", "N"}}), 0);
    EXPECT_EQ(client.saveHead({{"TC015", "open again"}}), 0);
    EXPECT_EQ(stored("COPTC", "TC027", head) + stored("COPTC", "TC048", head) + stored("COPTC", "TC050", head), "NNY");

    // The lines follow their head into void and out of it, and stay current for the client.
    const std::string lines = "TD002 = '2501200001'";
    EXPECT_EQ(client.saveHead({{"TC027", "V"}}), 0);
    EXPECT_EQ(stored("COPTD", "TD021", lines), "V");
    EXPECT_EQ(client.saveHead({{"TC027", "N"}}), 0);
    EXPECT_EQ(stored("COPTD", "TD021", lines), "N");
    OrderClient::change(client.body1, {{"TD008", "21"}}, true);
    EXPECT_EQ(client.save(), 0) << firstMessage(client);
}

// The sign-off decides on the order as it was sent: until then nothing of it changes, and only the
// workflow moves an order into sign-off or approves it.
TEST_F(OrderTrustTest, AnOrderInSignOffIsClosedToSavesDeletesAndConfirm)
{
    const std::string head = "TC002 = '2501200001'";
    const std::string order = "COPTC TC001=2201, TC002=2501200001";
    OrderClient client(connected()); // every right
    client.open(head);
    EXPECT_EQ(client.saveHead({{"TC048", "3"}}), 1) << "approved by a save";
    EXPECT_EQ(firstMessage(client), order + ": a save cannot set TC048 to '3'; only the sign-off workflow moves an "
                                            "order into sign-off or approves it");
    client.main.cancelUpdates();

    db_->execute("UPDATE " + table("COPTC") + " SET TC048 = '4' WHERE " + head);
    client.open(head);
    const std::string inSignOff = order + " is in sign-off (TC048 '4'): its job must be decided or cancelled before ";
    const auto refused = [&](const std::string& what) {
        EXPECT_EQ(client.save(), 1) << what;
        EXPECT_EQ(firstMessage(client), inSignOff + what);
        client.main.cancelUpdates();
    };
    OrderClient::change(client.body1, {{"TD008", "1"}}, true);
    refused("changing its lines");
    client.main.deleteRecord();
    refused("deleting it");
    EXPECT_EQ(client.saveHead({{"TC027", "V"}}), 1);
    EXPECT_EQ(firstMessage(client), inSignOff + "changing TC027");
    client.main.cancelUpdates();
    EXPECT_EQ(client.saveHead({{"TC048", "0"}}), 1) << "taken out of sign-off by a save";
    const Variant flag = scalar("SELECT FLAG FROM " + table("COPTC") + " WHERE " + head);
    std::vector<Variant> request{Variant::arrayOf({Variant::arrayOf({"2201", "2501200001"}), flag, "DO", "TXN"})};
    EXPECT_EQ(client.server->invoke("Confirm", request)[0], Variant(4));
    EXPECT_EQ(stored("COPTC", "TC027", head) + stored("COPTC", "TC048", head), "N4");
    EXPECT_EQ(count("COPTD", "TD002 = '2501200001' AND TD008 = 20"), 1);
}

// The window's delivery dialog refuses more delivered than ordered; a client that skips it is refused
// by the server, with nothing of its save stored. The demonstration line has 20 ordered, 0 free.
TEST_F(OrderTrustTest, NoLineIsStoredWithMoreDeliveredThanOrderedOrBelowZero)
{
    OrderClient client(connected());
    client.open("TC002 = '2501200001'");
    const auto refused = [&](std::initializer_list<std::pair<const char*, std::string>> lineValues,
                             const std::string& message) {
        OrderClient::change(client.body1, lineValues, true);
        EXPECT_EQ(client.saveHead({{"TC015", "with the line"}}), 1) << message;
        EXPECT_EQ(firstMessage(client),
                  "COPTD TD001=2201, TD002=2501200001, TD003=0001: the delivered quantity " + message);
        EXPECT_EQ(count("COPTC", "TC015 = 'with the line'"), 0) << message;
        client.main.cancelUpdates();
    };
    refused({{"TD009", "25"}}, "TD009 25 is more than the ordered quantity TD008 20");
    refused({{"TD009", "-1"}}, "TD009 -1 is below 0 (ordered TD008 20)");
    // A part delivered saves; the ordered quantity is then not cut below it. Nothing delivered passes
    // whatever was ordered.
    OrderClient::change(client.body1, {{"TD009", "15"}, {"TD024", "2"}, {"TD025", "2"}}, true);
    ASSERT_EQ(client.save(), 0) << firstMessage(client);
    refused({{"TD008", "10"}}, "TD009 15 is more than the ordered quantity TD008 10");
    refused({{"TD008", "-5"}, {"TD009", "0"}, {"TD025", "3"}}, "TD025 3 is more than the ordered quantity TD024 2");
    refused({{"TD032", "4"}, {"TD033", "5"}}, "TD033 5 is more than the ordered quantity TD032 4");

    // A new order whose line was delivered past its quantity is not stored, head and lines alike.
    client.open("1=2");
    client.enterOrder("2503010001");
    OrderClient::change(client.body1, {{"TD009", "3"}});
    EXPECT_EQ(client.save(), 1);
    EXPECT_TRUE(contains(firstMessage(client), "TD003=0003: the delivered quantity TD009 3 is more than"));
    EXPECT_EQ(count("COPTC", "TC002 = '2503010001'") + count("COPTD", "TD002 = '2503010001'"), 0);
}

TEST_F(OrderTrustTest, AuditColumnsComeFromTheSessionAndTheServersClock)
{
    OrderClient client(connected("SALES01"));
    client.open("1=2");
    client.enterOrder("2503010001"); // claims CREATOR ZT, CREATE_DATE 20250301
    OrderClient::change(client.main, {{"MODIFIER", "ZT"}, {"MODI_DATE", "19990101"}, {"USR_GROUP", "ADMIN"}});
    ASSERT_EQ(client.save(), 0);
    const std::string head = "TC002 = '2503010001'";
    for (const auto& [tableName, where] :
         {std::pair{"COPTC", head}, std::pair{"COPTD", std::string("TD002 = '2503010001'")}}) {
        EXPECT_EQ(stored(tableName, "CREATOR", where), "SALES01") << tableName;
        EXPECT_EQ(stored(tableName, "USR_GROUP", where), "SALES") << tableName;
        EXPECT_EQ(stored(tableName, "COMPANY", where), "PRTest50") << tableName;
        EXPECT_EQ(stored(tableName, "CREATE_DATE", where), todayText()) << tableName;
        EXPECT_EQ(stored(tableName, "MODIFIER", where), "") << tableName;
    }

    client.open(head);
    ASSERT_EQ(client.saveHead({{"CREATOR", "ZT"}, {"CREATE_DATE", "19990101"}, {"MODIFIER", "ZT"}}), 0);
    EXPECT_EQ(stored("COPTC", "CREATOR", head), "SALES01");
    EXPECT_EQ(stored("COPTC", "CREATE_DATE", head), todayText());
    EXPECT_EQ(stored("COPTC", "MODIFIER", head), "SALES01");
    EXPECT_EQ(stored("COPTC", "MODI_DATE", head), todayText());
}

TEST_F(OrderTrustTest, ATypedNumberMustHaveItsTypesFormAndAUsedUpDayIsNamed)
{
    OrderClient client(connected());
    for (const char* number : {"2512319999", "250301001", "25030100A1"}) {
        client.open("1=2");
        client.enterOrder(number);
        EXPECT_EQ(client.save(false), 1) << number;
        EXPECT_TRUE(contains(firstMessage(client), "'" + std::string(number) + "' does not fit document type '2201'"));
    }
    EXPECT_EQ(count("COPTC", "TC001 = '2201' AND TC002 <> '2501200001'"), 0);

    // The last number of a day may be typed; the next automatic number then names the day.
    client.open("1=2");
    client.enterOrder("2503019999");
    ASSERT_EQ(client.save(false), 0);
    client.open("1=2");
    client.enterOrder("2503010001");
    EXPECT_EQ(client.save(true), 1);
    EXPECT_TRUE(contains(firstMessage(client), "Document type '2201' has no number left for day 20250301"));

    // Renumbering a stored order is checked against its type and its (new) document date alike.
    client.open("TC002 = '2501200001'");
    EXPECT_EQ(client.saveHead({{"TC002", "2512319999"}}), 1);
    EXPECT_TRUE(contains(firstMessage(client), "'2512319999' does not fit document type '2201'"));
    client.main.cancelUpdates();
    EXPECT_EQ(client.saveHead({{"TC002", "2512319999"}, {"TC039", "20251231"}}), 0) << firstMessage(client);
}

TEST_F(OrderTrustTest, AStaleFlagThatWentRoundAWholeCycleIsRefused)
{
    OrderClient stale(connected());
    stale.open("TC002 = '2501200001'");
    // 999 changes by others, counted as the server counts them (in one statement, for speed),
    // then the thousandth through the server: FLAG is back where the stale client read it.
    db_->execute("UPDATE " + table("COPTC") +
                 " SET FLAG = (CAST(FLAG AS INTEGER) + 999) % 1000, ROW_VERSION = ROW_VERSION + 999");
    OrderClient busy(connected("SALES01"));
    busy.open("TC002 = '2501200001'");
    ASSERT_EQ(busy.saveHead({{"TC015", "save 1000"}}), 0);
    EXPECT_EQ(stale.main.fieldByName("FLAG").asFloat(), busy.main.fieldByName("FLAG").asFloat());

    EXPECT_EQ(stale.saveHead({{"TC015", "stale"}}), 1);
    EXPECT_TRUE(contains(firstMessage(stale), "changed by another user"));
    EXPECT_EQ(stored("COPTC", "TC015", "TC002 = '2501200001'"), "save 1000");
    // Read again, the order saves.
    stale.open("TC002 = '2501200001'");
    EXPECT_EQ(stale.saveHead({{"TC015", "fresh"}}), 0);
}

TEST_F(OrderTrustTest, ASaveSentAgainWithItsRequestIdIsAnsweredOnce)
{
    OrderClient client(connected());
    client.open("1=2");
    client.enterOrder("2503019999");
    const Delta sent = client.main.delta();
    client.server->call("SetIsSeq", {Variant(-1)});
    DispatchProvider provider(client.server, "pvdMain");
    const ApplyResult first = provider.applyUpdates(sent, 0, "save-1");
    ASSERT_TRUE(first.applied);

    // The answer was lost: the same save again, also from a new session of the same user.
    DispatchPtr again = connected();
    again->call("SetIsSeq", {Variant(-1)});
    const ApplyResult second = DispatchProvider(again, "pvdMain").applyUpdates(sent, 0, "save-1");
    EXPECT_TRUE(second.applied);
    EXPECT_EQ(second.errorCount, 0);
    EXPECT_EQ(count("COPTC", "TC002 LIKE '250301%'"), 1);
    EXPECT_EQ(again->call("WhatIs", {"SEQNO"}), Variant("2503010001"));

    // Another identifier is another save; another user's identifier is not this one's.
    EXPECT_TRUE(provider.applyUpdates(sent, 0, "save-2").applied);
    DispatchPtr sales = connected("SALES01");
    sales->call("SetIsSeq", {Variant(-1)});
    EXPECT_TRUE(DispatchProvider(sales, "pvdMain").applyUpdates(sent, 0, "save-1").applied);
    EXPECT_EQ(count("COPTC", "TC002 LIKE '250301%'"), 3);

    // An answer past its keeping time is forgotten.
    db_->execute("UPDATE " + table("APPLY_REQUEST") + " SET KEPT_AT = KEPT_AT - 2 * 86400");
    EXPECT_TRUE(provider.applyUpdates(sent, 0, "save-1").applied);
    EXPECT_EQ(count("COPTC", "TC002 LIKE '250301%'"), 4);
    EXPECT_NE(errorOf([&] { provider.applyUpdates(sent, 0, std::string(65, 'x')); }), "");
}

} // namespace
} // namespace orvane::test
