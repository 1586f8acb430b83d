#include "server/salesorder/OrderCredit.h"

#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"
#include "server/services/CreditFigures.h"
#include "server/services/SalesData.h"

#include <algorithm>

namespace orvane {

namespace {

// A customer's credit settings as the window reads them from COPMA "09" (its columns in brackets);
// all empty for a code that names no customer, as the window's not-found row is.
struct CustomerCredit {
    std::string keptApart;     // MA036 (29): "Y" takes the method and rate from COPMH
    std::string checked;       // MA037 (32): the credit check switch
    std::string groupCustomer; // MA038 (62)
    std::string usesGroup;     // MA039 (79): "Y" uses the group customer's settings
    std::string method;        // MA040 (85)
    double rate = 0;           // MA041 (91)
};

// What the check reads of the stored order.
struct CreditedOrder {
    std::string type;     // TC001
    std::string customer; // TC004 as stored, the code its open amount is counted for
    std::string transfer; // TC050
    double rate = 0;      // TC009, the order's exchange rate
    double total = 0;     // TC029 + TC030, or its lines' TD038 + TD039 when they add up to more
};

// The head's totals are what the client summed of its lines, and its lines are what the order will
// owe once confirmed (OPEN_ORDER_AMOUNT counts them): a total saved short of them is not believed.
CreditedOrder creditedOrder(SalesData& data, const std::vector<Variant>& key)
{
    const DbRow head = data.rows("SELECT C.TC004, C.TC050, C.TC009, C.TC029 + C.TC030, (SELECT SUM(D.TD038 + D.TD039) "
                                 "FROM {COPTD} D WHERE D.TD001 = C.TC001 AND D.TD002 = C.TC002) "
                                 "FROM {COPTC} C WHERE C.TC001 = ? AND C.TC002 = ?",
                                 key)
                           .rows.at(0);
    return {key.at(0).toString(), head[0].toString(), text::trim(head[1].toString()), storedNumber(head[2]),
            std::max(storedNumber(head[3]), storedNumber(head[4]))};
}

struct CheckRule {
    std::string method; // "1" none, "2" warn, any other refuse
    double rate = 0;    // the share of the order's amount that counts
};

CustomerCredit customerCredit(SalesData& data, const std::string& customer)
{
    const QueryResult found =
        data.rows("SELECT MA036, MA037, MA038, MA039, MA040, MA041 FROM {COPMA} WHERE MA001 = ?", {customer});
    if (found.rows.empty())
        return {};
    const DbRow& row = found.rows[0];
    const auto trimmed = [&](int i) { return text::trim(row[i].toString()); };
    return {trimmed(0), trimmed(1), trimmed(2), trimmed(3), trimmed(4), storedNumber(row[5])};
}

// The method and rate the window checks the customer's orders with; nullopt when it checks none.
std::optional<CheckRule> checkRule(SalesData& data, const std::string& customer)
{
    const CustomerCredit own = customerCredit(data, customer);
    if (own.usesGroup == "N" && own.checked == "N")
        return std::nullopt;
    const CustomerCredit settings = own.usesGroup == "Y" ? customerCredit(data, own.groupCustomer) : own;
    if (settings.keptApart == "Y") {
        // Kept apart for the customer itself, whichever settings sent the check there.
        const QueryResult kept = data.rows("SELECT MH002, MH008 FROM {COPMH} WHERE MH001 = ?", {customer});
        if (!kept.rows.empty())
            return CheckRule{text::trim(kept.rows[0][0].toString()), storedNumber(kept.rows[0][1])};
    }
    return CheckRule{settings.method, settings.rate};
}

} // namespace

bool transferredMultiParty(Database& db, const std::string& companyDb, const std::string& type,
                           const std::string& transfer)
{
    if (text::trim(transfer) != "y")
        return false;
    const QueryResult kind =
        db.query("SELECT MQ003 FROM " + db.dialect().companyTable(companyDb, "CMSMQ") + " WHERE MQ001 = ?", {type});
    return !kind.rows.empty() && text::trim(kind.rows[0][0].toString()) == "27";
}

std::optional<std::string> creditRefusal(Database& db, const SessionLogin& login, const std::vector<Variant>& key,
                                         const std::string& context)
{
    const Variant noArguments;
    SalesData data(MethodCall{db, login, noArguments});
    const CreditedOrder order = creditedOrder(data, key);
    if (transferredMultiParty(db, login.companyDb, order.type, order.transfer))
        return std::nullopt;
    const auto rule = checkRule(data, order.customer);
    if (!rule || rule->method == "1" || rule->method == "2")
        return std::nullopt;
    // The group's rows are locked before its balance is read, so a confirmation of another order
    // of the group waits here until this one commits and then counts this order among the ordered
    // amounts (on SQLite the writing transaction already holds the whole database). Without the
    // lock two confirmations could both pass against the same balance.
    CreditFigures figures;
    try {
        figures = creditFigures(data, order.customer, GroupRows::Locked);
    } catch (const CreditGroupError& error) {
        return context + " cannot be confirmed: the credit of its customer cannot be checked: " + error.what();
    }
    // The window's amount and comparison, to the letter, but for totals short of the lines.
    const double amount = order.total * order.rate * rule->rate;
    if (!(amount > figures.balance))
        return std::nullopt;
    return "客户信用额度不足! 本次金额 " + text::floatToText(amount) + ", 信用余额 " +
           text::floatToText(figures.balance) + ", 不可审核! (the credit of customer '" + order.customer +
           "' is exceeded: the order cannot be confirmed): " + context;
}

} // namespace orvane
