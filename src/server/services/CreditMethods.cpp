// "CreditCtrl": the credit figures of a customer, in the local currency.
#include "platform/text/ByteText.h"
#include "platform/text/Rounding.h"
#include "server/db/ReadSnapshot.h"
#include "server/schema/OpenOrderAmounts.h"
#include "server/services/SalesData.h"
#include "server/services/SalesMethodGroups.h"
#include "server/services/ServiceError.h"
#include "server/services/TwoUnitNotation.h"

#include <map>

namespace orvane {

namespace {

// "?, ?, ?": one placeholder for each of `count` values.
std::string placeholders(std::size_t count)
{
    std::string marks = "?";
    for (std::size_t i = 1; i < count; ++i)
        marks += ", ?";
    return marks;
}

// What the open lines of the customers' confirmed orders still have to deliver, with tax, in the
// local currency, as OPEN_ORDER_AMOUNT keeps it (orders not yet confirmed do not count: the
// confirmation of an order checks its own amount against the balance). In the two-unit mode the
// quantities are stored in the notation, so the share is taken here per line, each quantity read as
// a single quantity.
double openAmountInTwoUnits(SalesData& data, const std::vector<Variant>& customers)
{
    const std::string linesSql = "SELECT D.TD004, D.TD010, D.TD008, D.TD009, D.TD038 + D.TD039, C.TC009 "
                                 "FROM {COPTD} D JOIN {COPTC} C ON C.TC001 = D.TD001 AND C.TC002 = D.TD002 "
                                 "WHERE C.TC004 IN (" +
                                 placeholders(customers.size()) + ") AND C.TC027 = 'Y' AND D.TD016 = 'N'";
    std::map<std::pair<std::string, std::string>, TwoUnitNotation> notations;
    double amount = 0;
    for (const DbRow& line : data.rows(linesSql, customers).rows) {
        const std::pair<std::string, std::string> key{line[0].toString(), line[1].toString()};
        auto known = notations.find(key);
        if (known == notations.end()) {
            const auto item = data.findItem(key.first);
            known = notations.emplace(key, item ? TwoUnitNotation(data, *item, key.second) : TwoUnitNotation()).first;
        }
        const double ordered = known->second.single(storedNumber(line[2]));
        const double delivered = known->second.single(storedNumber(line[3]));
        if (ordered > 0 && delivered < ordered)
            amount += storedNumber(line[4]) * (ordered - delivered) / ordered * storedNumber(line[5]);
    }
    return amount;
}

// Where quantities are plain decimals the open amounts are kept per customer as the orders are
// written: one row per customer of the group, however many orders it has open.
double orderedAmount(SalesData& data, const std::vector<Variant>& customers)
{
    if (data.systemParameter("SYS024") == "2")
        return openAmountInTwoUnits(data, customers);
    const std::string sql = "SELECT SUM(AMOUNT) FROM {" + std::string(openAmountTable) + "} WHERE CUSTOMER IN (" +
                            placeholders(customers.size()) + ")";
    return storedNumber(data.rows(sql, customers).rows.at(0)[0]);
}

// The customers whose credit is one: a customer that takes its credit settings from a group
// customer (MA039 "Y", MA038 the group customer) shares that customer's limit with every other
// customer that takes them from it, so its figures are the group's, whichever member asks. A
// customer of no group is a group of one. Membership is one level deep: the group customer's
// own MA039 does not lead further.
struct CreditGroup {
    DbRow settings;             // the group customer's MA028, MA031, MA032
    std::vector<DbRow> members; // each member's MA001, MA033, MA034, MA035
};

constexpr const char* groupOfSql = "SELECT MA038, MA039 FROM {COPMA} WHERE MA001 = ?";
constexpr const char* settingsSql = "SELECT MA028, MA031, MA032 FROM {COPMA} WHERE MA001 = ?";
constexpr const char* membersSql =
    "SELECT MA001, MA033, MA034, MA035 FROM {COPMA} WHERE MA001 = ? OR (MA039 = 'Y' AND MA038 = ?) ORDER BY MA001";

CreditGroup creditGroup(SalesData& data, const SalesArgs& args, const std::string& customer)
{
    const QueryResult found = data.rows(groupOfSql, {customer});
    if (found.rows.empty())
        args.fail(0, "customer", "unknown customer '" + customer + "'");
    const std::string groupCode = text::trim(found.rows[0][0].toString());
    const bool inGroup = text::trim(found.rows[0][1].toString()) == "Y" && !groupCode.empty();
    const std::string head = inGroup ? groupCode : customer;
    const QueryResult settings = data.rows(settingsSql, {head});
    if (settings.rows.empty())
        args.fail(0, "customer",
                  "customer '" + customer + "' takes its credit from '" + head + "', which is not a customer");
    return {settings.rows[0], data.rows(membersSql, {head, head}).rows};
}

// What the figures of a customer that heads its group read, all in one round trip: its group,
// settings and members, the unit mode and the local currency, all from the reference tables and
// so mostly answered by what the server keeps. A customer of another group reads its group's rows
// when it learns the group. The open amount is read once the members are known: it is the one
// read that meets the database at every check.
void readCreditAhead(SalesData& data, const std::string& customer)
{
    data.readAhead({{groupOfSql, {customer}},
                    {settingsSql, {customer}},
                    {membersSql, {customer, customer}},
                    SalesData::systemParameterRead("SYS024"),
                    SalesData::systemParameterRead("SYS003")});
}

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
    if (data.readsAhead())
        readCreditAhead(data, customer);
    const CreditGroup group = creditGroup(data, args, customer);
    const auto local = data.findCurrency(data.localCurrency());
    if (!local)
        throw ServiceError("Server method 'CreditCtrl': the local currency '" + data.localCurrency() +
                           "' (system parameter SYS003) is not a currency");
    // Each part as the window shows it, and the total and balance from those: the figures add up
    // to the cent as shown.
    const auto shown = [&](double amount) { return text::roundTo(amount, local->amountDecimals); };
    double owed[3] = {};
    std::vector<Variant> customers;
    for (const DbRow& member : group.members) {
        customers.push_back(member[0]);
        for (int i = 0; i < 3; ++i)
            owed[i] += storedNumber(member[i + 1]);
    }
    for (double& part : owed)
        part = shown(part);
    const double ordered = shown(orderedAmount(data, customers) * storedNumber(group.settings[0]));
    const double total = shown(owed[0] + owed[1] + owed[2] + ordered);
    const double limit = shown(storedNumber(group.settings[1]));
    const double excess = shown(limit * storedNumber(group.settings[2]));

    const double figures[] = {owed[0], owed[1], owed[2], ordered, total, limit, excess, shown(limit + excess - total)};
    Variant answer = Variant::createArray(0, std::size(figures) - 1);
    for (int i = 0; i < static_cast<int>(std::size(figures)); ++i)
        answer[i] = figures[i];
    return answer;
}

} // namespace

void registerCreditMethods(NamedMethods& methods)
{
    methods.add("CreditCtrl", creditCtrl);
}

} // namespace orvane
