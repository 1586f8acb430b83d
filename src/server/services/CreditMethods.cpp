// "CreditCtrl": the credit figures of a customer, in the local currency.
#include "server/db/ReadSnapshot.h"
#include "server/services/CreditFigures.h"
#include "server/services/SalesData.h"
#include "server/services/SalesMethodGroups.h"

namespace orvane {

namespace {

// customer -> [notes receivable, accounts receivable, shipped not invoiced, ordered, total,
// credit limit, credit that may be exceeded, balance] of its credit group; balance = limit +
// excess - total.
Variant creditCtrl(const MethodCall& call)
{
    const SalesArgs args("CreditCtrl", call.args, 1, 1);
    const std::string customer = args.requiredCode(0, "customer");
    // The group's settings, its open orders and the currency read from one state of the data,
    // under one read lock rather than one per statement.
    const ReadSnapshot snapshot(call.db);
    KeptReads ownReads;
    SalesData data(keepingReads(call, ownReads));
    // A customer that heads its group reads its group, settings, members, the unit mode and the
    // local currency in one round trip, mostly answered by what the server keeps; a customer of
    // another group reads its group's rows when it learns the group.
    if (data.readsAhead())
        data.readAhead(creditReadsAhead(customer));
    try {
        return creditFigures(data, customer).toVariant();
    } catch (const CreditGroupError& error) {
        args.fail(0, "customer", error.what());
    }
}

} // namespace

void registerCreditMethods(NamedMethods& methods)
{
    methods.add("CreditCtrl", creditCtrl);
}

} // namespace orvane
