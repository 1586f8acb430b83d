// The confirmation transaction of the order server: confirm and unconfirm with their audit
// columns, every refusal leaving the order as it was, and a change by someone else between
// the client's read and its confirmation, also while that change still holds the order.
#include "OrderFixture.h"
#include "support/Contains.h"

#include "server/db/Transaction.h"
#include "server/schema/SchemaBuilder.h"

#include <chrono>
#include <future>

namespace orvane::test {
namespace {

constexpr const char* orderNumber = "2501200001";

class OrderConfirmTest : public OrderFixture {
protected:
    static Variant request(Variant flag, const char* operation, Variant date = "",
                           Variant keys = Variant::arrayOf({"2201", orderNumber}))
    {
        return Variant::arrayOf({std::move(keys), std::move(flag), operation, "TXN", std::move(date)});
    }
    // Confirm with the request; answers [code, message, TC027, FLAG] and checks the request is left as sent.
    static std::vector<Variant> confirm(Dispatch& server, const Variant& sent)
    {
        std::vector<Variant> args{sent};
        const Variant answer = server.invoke("Confirm", args);
        EXPECT_EQ(args[0], sent);
        const auto elements = answer.array().elements();
        return {elements.begin(), elements.end()};
    }
    // TC027, TC040, MODIFIER, MODI_DATE and FLAG of the stored head, and TD021 and FLAG of its line.
    std::vector<Variant> stored()
    {
        const DbRow head = db_->query("SELECT TC027, TC040, MODIFIER, MODI_DATE, FLAG FROM " + table("COPTC") +
                                          " WHERE TC001 = '2201' AND TC002 = ?",
                                      {orderNumber})
                               .rows.at(0);
        const DbRow line =
            db_->query("SELECT TD021, FLAG FROM " + table("COPTD") + " WHERE TD002 = ?", {orderNumber}).rows.at(0);
        return {head[0].toString(),  head[1].toString(), head[2].toString(), head[3].toString(),
                head[4].toInteger(), line[0].toString(), line[1].toInteger()};
    }
    void setState(const char* state)
    {
        db_->execute("UPDATE " + table("COPTC") + " SET TC027 = ? WHERE TC002 = ?", {state, orderNumber});
    }
};

TEST_P(OrderConfirmTest, ConfirmAndUnconfirmStampTheApproverAndTheAuditColumns)
{
    const std::string today = todayText();
    DispatchPtr zt = connected();
    EXPECT_EQ(confirm(*zt, request(1, "DO")), (std::vector<Variant>{0, "", "Y", 2.0}));
    EXPECT_EQ(stored(), (std::vector<Variant>{"Y", "ZT", "ZT", today, 2, "Y", 2}));

    // SALES01 with the unconfirm right.
    db_->execute("UPDATE " + table("ADMMG") + " SET MG006 = ',N,N,YYYNNYRRNNNN' WHERE MG001 = 'SALES01'");
    DispatchPtr sales = connected("SALES01");
    EXPECT_EQ(confirm(*sales, request(2, "undo", "20250301")), (std::vector<Variant>{0, "", "N", 3.0}));
    EXPECT_EQ(stored(), (std::vector<Variant>{"N", "", "SALES01", today, 3, "N", 3}));

    // An order that failed to confirm may go either way; FLAG wraps as a save counts it.
    setState("U");
    db_->execute("UPDATE " + table("COPTC") + " SET FLAG = 999");
    EXPECT_EQ(confirm(*zt, request(999, "DO")), (std::vector<Variant>{0, "", "Y", 0.0}));
    setState("U");
    EXPECT_EQ(confirm(*zt, request(0, "UNDO")), (std::vector<Variant>{0, "", "N", 1.0}));
}

TEST_F(OrderConfirmTest, RefusalsNameTheirCauseAndChangeNothing)
{
    DispatchPtr server = connected();
    const auto twoKeys = [](Variant a, Variant b) { return Variant::arrayOf({std::move(a), std::move(b)}); };
    struct Case {
        const char* what;
        const char* state; // TC027 before the call
        Variant request;
        int code;
        const char* message; // a part of the message
    };
    const std::vector<Case> cases = {
        {"not an array", "N", "2201", 1, "the request must be"},
        {"one key", "N", request(1, "DO", "", Variant::arrayOf({"2201"})), 1, "the request must be"},
        {"FLAG as text", "N", request("1", "DO"), 1, "the request must be"},
        {"unknown operation", "N", request(1, "CONFIRM"), 1, "the request must be"},
        {"no TXN", "N", Variant::arrayOf({twoKeys("2201", orderNumber), 1, "DO", "TX", ""}), 1, "the request must be"},
        {"no such order", "N", request(1, "DO", "", twoKeys("2201", "2501209999")), 2,
         "deleted by another user): COPTC TC001=2201, TC002=2501209999"},
        {"FLAG read before a change", "N", request(7, "DO"), 3,
         "资料已被其他用户更改 (changed by another user): COPTC TC001=2201, TC002=2501200001"},
        {"confirming a confirmed order", "Y", request(1, "DO"), 4, "TC027 is 'Y' (confirmed)"},
        {"unconfirming an order not confirmed", "N", request(1, "UNDO"), 4, "TC027 is 'N' (not confirmed)"},
        {"confirming a void order", "V", request(1, "DO"), 4,
         "COPTC TC001=2201, TC002=2501200001 cannot be confirmed: its confirmation code TC027 is 'V' (void)"},
        {"an unknown code", "X", request(1, "DO"), 4, "'X' (not a confirmation code)"},
        {"a day that does not exist", "N", request(1, "DO", "20250230"), 5, "'20250230'"},
        {"a date in another form", "N", request(1, "DO", "2025-1-30"), 5, "is not a date YYYYMMDD"},
    };
    for (const Case& c : cases) {
        setState(c.state);
        const std::vector<Variant> before = stored();
        const std::vector<Variant> answer = confirm(*server, c.request);
        EXPECT_EQ(answer.at(0), Variant(c.code)) << c.what;
        EXPECT_TRUE(contains(answer.at(1).toString(), c.message)) << c.what;
        EXPECT_EQ(stored(), before) << c.what;
        // A refusal about a stored order answers its current code and FLAG; otherwise Null.
        const bool read = c.code == 3 || c.code == 4;
        EXPECT_EQ(answer.at(2), read ? Variant(c.state) : Variant::null()) << c.what;
        EXPECT_EQ(answer.at(3), read ? Variant(1.0) : Variant::null()) << c.what;
    }

    DispatchPtr unconnected = registry_.create("TavIS52S.Class1");
    EXPECT_EQ(errorOf([&] { confirm(*unconnected, request(1, "DO")); }),
              "TavIS52S.Class1: Confirm needs a successful Connect first");
}

// A FLAG read before someone else's save is refused like any other stale FLAG (above).
TEST_F(OrderConfirmTest, AConfirmationCountsTheLinesOnSoThatAnOldLineIsNotSavedOverIt)
{
    OrderClient other(connected("SALES01"));
    other.open("TC002 = '2501200001'");
    // Confirmed with the FLAG as a client's dataset holds it, a number with decimals.
    EXPECT_EQ(confirm(*connected(), request(other.main.fieldByName("FLAG").value(), "DO")).at(0), Variant(0));
    OrderClient::change(other.body1, {{"TD008", "99"}}, true);
    EXPECT_EQ(other.save(), 1);
    ASSERT_EQ(other.reconciled.size(), 1u);
    EXPECT_TRUE(contains(other.reconciled[0].message, "changed by another user): COPTD"));
}

// A change in progress holds the confirmation until it commits; the confirmation then sees it: a
// change of the order (its FLAG, refused as stale), or of its credit group's customers (receivables
// that leave less than the order's 2,147 under a method that refuses). The answer names FLAG as stored.
TEST_P(OrderConfirmTest, AConfirmationWaitsForAChangeInProgressAndThenSeesIt)
{
    db_->execute("UPDATE " + table("COPMA") + " SET MA040 = '3' WHERE MA001 = 'C001'");
    DispatchPtr server = connected();
    const struct {
        const char* what;
        std::string change;
        int code;
    } cases[] = {
        {"the order", "UPDATE " + table("COPTC") + " SET FLAG = 2, TC015 = 'held' WHERE TC002 = '2501200001'", 3},
        {"the group's customers", "UPDATE " + table("COPMA") + " SET MA034 = MA034 + 19000 WHERE MA001 = 'C006'", 7},
    };
    for (const auto& c : cases) {
        const Variant flag = stored().at(4).toFloat();
        std::future<std::vector<Variant>> answer;
        {
            Transaction change(*db_);
            db_->execute(c.change);
            answer = std::async(std::launch::async, [&] { return confirm(*server, request(flag, "DO")); });
            EXPECT_EQ(answer.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout) << c.what;
            change.commit();
        }
        const std::vector<Variant> result = answer.get();
        EXPECT_EQ(result.at(0), Variant(c.code)) << c.what;
        EXPECT_EQ(result.at(3), Variant(2.0)) << c.what;
        EXPECT_EQ(stored().at(0), Variant("N")) << c.what;
    }
}

// C001 and its group member C006 have 20,200 of credit left. The demonstration order of C001 (2,147 with
// tax) and an order of C006 for 19,000 each fit it alone, not together. Both backends: the check
// locks the group's rows with the backend's own statement.
TEST_P(OrderConfirmTest, TheCreditOfAGroupIsCheckedAgainWhenTheMethodRefuses)
{
    const std::string second = "TC002 = '2501200002'";
    db_->execute("INSERT INTO " + table("COPTC") + " (TC001, TC002, TC004, TC009, TC027, TC029, TC030, FLAG)" +
                 " VALUES ('2201', '2501200002', 'C006', 1, 'N', 18500, 500, 1)");
    db_->execute("UPDATE " + table("COPMA") + " SET MA040 = '3' WHERE MA001 = 'C001'");
    DispatchPtr server = connected();
    const Variant secondRequest = request(1, "DO", "", Variant::arrayOf({"2201", "2501200002"}));
    EXPECT_EQ(confirm(*server, request(1, "DO")).at(0), Variant(0));
    EXPECT_EQ(confirm(*server, secondRequest),
              (std::vector<Variant>{7,
                                    "客户信用额度不足! 本次金额 19000, 信用余额 18053, 不可审核! (the credit of "
                                    "customer 'C006' is exceeded: the order cannot be confirmed): COPTC TC001=2201, "
                                    "TC002=2501200002",
                                    "N", 1.0}));
    EXPECT_EQ(scalar("SELECT TC027 || MODIFIER FROM " + table("COPTC") + " WHERE " + second), Variant("N"));

    db_->execute("UPDATE " + table("COPMA") + " SET MA040 = '2' WHERE MA001 = 'C001'");
    EXPECT_EQ(confirm(*server, secondRequest).at(0), Variant(0)) << "method 2 only warns, in the window";
}

// The window's decision taken again on the server, on the demonstration order (2,147 with tax): who
// is checked, and with whose method and rate. The changes of a case stay for the cases after it.
TEST_F(OrderConfirmTest, TheServerDecidesOnTheCreditAsTheWindowDoes)
{
    DispatchPtr server = connected();
    struct Case {
        const char* what;
        const char* customer; // TC004 of the order
        std::vector<std::pair<const char*, const char*>> changes;
        int code;
    };
    const std::vector<Case> cases = {
        {"C005's COPMH method 3 over its own 2; 500 left", "C005", {}, 7},
        {"C005's own method 2 once COPMH is not used", "C005", {{"COPMA", "SET MA036 = 'N' WHERE MA001 = 'C005'"}}, 0},
        {"both switches off: no check, method 3 or not",
         "C003",
         {{"COPMA", "SET MA040 = '3' WHERE MA001 = 'C003'"}},
         0},
        {"the group's method and rate; COPMH only of the customer itself, C006 has none",
         "C006",
         {{"COPMA", "SET MA036 = 'Y', MA040 = '3', MA041 = 100 WHERE MA001 = 'C001'"}},
         7},
        {"a customer not on file has no balance", "NONE", {}, 7},
        {"a transferred multi-party order is not checked",
         "NONE",
         {{"CMSMQ", "SET MQ003 = '27' WHERE MQ001 = '2201'"}, {"COPTC", "SET TC050 = 'y'"}},
         0},
    };
    for (const Case& c : cases) {
        db_->execute("UPDATE " + table("COPTC") + " SET TC027 = 'N', FLAG = 1, TC004 = ? WHERE TC002 = ?",
                     {c.customer, orderNumber});
        for (const auto& [name, change] : c.changes)
            db_->execute("UPDATE " + table(name) + " " + change);
        EXPECT_EQ(confirm(*server, request(1, "DO")).at(0), Variant(c.code)) << c.what;
    }
}

// A transferred order keeps its downstream documents: the server refuses to unconfirm it as the
// window does, but for a multi-party order marked "y", which the window lets through.
TEST_F(OrderConfirmTest, ATransferredOrderIsNotUnconfirmed)
{
    DispatchPtr server = connected();
    struct Case {
        const char* transfer; // TC050
        const char* kind;     // MQ003 of the order's type
        int code;
    };
    for (const Case& c : {Case{"Y", "22", 4}, Case{"y", "22", 4}, Case{"y", "27", 0}, Case{"N", "27", 0}}) {
        setState("Y");
        db_->execute("UPDATE " + table("COPTC") + " SET TC050 = ?, FLAG = 1", {c.transfer});
        db_->execute("UPDATE " + table("CMSMQ") + " SET MQ003 = ? WHERE MQ001 = '2201'", {c.kind});
        const std::vector<Variant> answer = confirm(*server, request(1, "UNDO"));
        EXPECT_EQ(answer.at(0), Variant(c.code)) << c.transfer << " " << c.kind;
        if (c.code != 0) {
            EXPECT_EQ(answer.at(1), Variant("订单已抛转, 不可取消审核! (the order was transferred, TC050 '" +
                                            std::string(c.transfer) +
                                            "': it cannot be unconfirmed): COPTC TC001=2201, TC002=2501200001"));
        }
        EXPECT_EQ(stored().at(0), Variant(c.code == 0 ? "N" : "Y"));
    }
}

// The head's totals are the client's sums of its lines: a client that saved them as 0 does not
// confirm the demonstration order's 2,147 of lines past the 1,200 of credit left.
TEST_F(OrderConfirmTest, TheCreditCheckCountsTheLinesWhenTheHeadsTotalsSayLess)
{
    db_->execute("UPDATE " + table("COPMA") + " SET MA040 = '3' WHERE MA001 = 'C001'");
    db_->execute("UPDATE " + table("COPMA") + " SET MA034 = MA034 + 19000 WHERE MA001 = 'C006'");
    OrderClient client(connected());
    client.open("TC002 = '2501200001'");
    ASSERT_EQ(client.saveHead({{"TC029", "0"}, {"TC030", "0"}}), 0);
    const std::vector<Variant> answer = confirm(*connected(), request(client.main.fieldByName("FLAG").value(), "DO"));
    EXPECT_EQ(answer.at(0), Variant(7));
    EXPECT_NE(answer.at(1).toString().find("本次金额 2147, 信用余额 1200,"), std::string::npos)
        << answer.at(1).toString();
}

// The open amounts count an order for its customer code as stored: "C001 " (as a save stores it) is
// not C001, whose balance must not pass an order that would never count against it.
TEST_F(OrderConfirmTest, AnOrderIsCheckedForTheCustomerCodeItIsCountedFor)
{
    db_->execute("UPDATE " + table("COPMA") + " SET MA040 = '3' WHERE MA001 = 'C001'");
    db_->execute("UPDATE " + table("COPTC") + " SET TC004 = 'C001 ' WHERE TC002 = ?", {orderNumber});
    const std::vector<Variant> answer = confirm(*connected(), request(1, "DO"));
    EXPECT_EQ(answer.at(0), Variant(7));
    EXPECT_NE(answer.at(1).toString().find("unknown customer 'C001 '"), std::string::npos) << answer.at(1).toString();
}

// A confirmed order counts in its customer's open amount at its rate: at 0 or below it would count for
// nothing, or against what the customer owes, whatever the check method (C001's passes the order).
TEST_F(OrderConfirmTest, AnOrderIsConfirmedOnlyWithAnExchangeRateAboveZero)
{
    DispatchPtr server = connected();
    for (const std::string rate : {"0", "-7.2"}) {
        db_->execute("UPDATE " + table("COPTC") + " SET TC009 = " + rate);
        const std::vector<Variant> answer = confirm(*server, request(1, "DO"));
        EXPECT_EQ(answer.at(0), Variant(8)) << rate;
        EXPECT_EQ(answer.at(1), Variant("COPTC TC001=2201, TC002=2501200001 cannot be confirmed: its exchange rate "
                                        "TC009 is " +
                                        rate +
                                        "; an order's rate must be above 0 (1 in the local "
                                        "currency)"));
        EXPECT_EQ(stored().at(0), Variant("N")) << rate;
        EXPECT_EQ(count("OPEN_ORDER_AMOUNT", "AMOUNT <> 0"), 0) << rate;
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, OrderConfirmTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
