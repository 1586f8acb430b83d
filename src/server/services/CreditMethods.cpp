// "CreditCtrl": the credit figures of a customer, in the local currency.
#include "platform/text/Rounding.h"
#include "server/services/SalesData.h"
#include "server/services/SalesMethodGroups.h"
#include "server/services/ServiceError.h"

namespace orvane {

namespace {

// What confirmed orders of the customer still have to deliver, with tax, in the local
// currency: each open line's net amount and tax for the part not yet delivered. Orders not
// yet confirmed do not count: the confirmation of an order checks its own amount against
// the balance.
constexpr const char* orderedSql =
    "SELECT SUM((D.TD038 + D.TD039) * (D.TD008 - D.TD009) / D.TD008 * C.TC009) FROM {COPTD} D "
    "JOIN {COPTC} C ON C.TC001 = D.TD001 AND C.TC002 = D.TD002 "
    "WHERE C.TC004 = ? AND C.TC027 = 'Y' AND D.TD016 = 'N' AND D.TD008 > 0 AND D.TD009 < D.TD008";

// customer -> [notes receivable, accounts receivable, shipped not invoiced, ordered, total,
// credit limit, credit that may be exceeded, balance]; balance = limit + excess - total.
Variant creditCtrl(const MethodCall& call)
{
    const SalesArgs args("CreditCtrl", call.args, 1, 1);
    const std::string customer = args.requiredCode(0, "customer");
    SalesData data(call.db, call.login.companyDb);
    const QueryResult found =
        data.rows("SELECT MA033, MA034, MA035, MA028, MA031, MA032 FROM {COPMA} WHERE MA001 = ?", {customer});
    if (found.rows.empty())
        args.fail(0, "customer", "unknown customer '" + customer + "'");
    const DbRow& row = found.rows[0];
    const double ordered = storedNumber(data.rows(orderedSql, {customer}).rows.at(0)[0]) * storedNumber(row[3]);
    const double total = storedNumber(row[0]) + storedNumber(row[1]) + storedNumber(row[2]) + ordered;
    const double limit = storedNumber(row[4]);
    const double excess = limit * storedNumber(row[5]);

    const auto local = data.findCurrency(data.localCurrency());
    if (!local)
        throw ServiceError("Server method 'CreditCtrl': the local currency '" + data.localCurrency() +
                           "' (system parameter SYS003) is not a currency");
    const double figures[] = {
        storedNumber(row[0]),  storedNumber(row[1]), storedNumber(row[2]), ordered, total, limit, excess,
        limit + excess - total};
    Variant answer = Variant::createArray(0, std::size(figures) - 1);
    for (int i = 0; i < static_cast<int>(std::size(figures)); ++i)
        answer[i] = text::roundTo(figures[i], local->amountDecimals);
    return answer;
}

} // namespace

void registerCreditMethods(NamedMethods& methods)
{
    methods.add("CreditCtrl", creditCtrl);
}

} // namespace orvane
