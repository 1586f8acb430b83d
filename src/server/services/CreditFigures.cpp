#include "server/services/CreditFigures.h"

#include "platform/text/ByteText.h"
#include "platform/text/Rounding.h"
#include "server/schema/OpenOrderAmounts.h"
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

constexpr const char* groupOfSql = "SELECT MA038, MA039 FROM {COPMA} WHERE MA001 = ?";
// Every member's MA001, MA033, MA034, MA035 and MA028, MA031, MA032, the settings the group
// customer's own row gives the group.
constexpr const char* membersSql = "SELECT MA001, MA033, MA034, MA035, MA028, MA031, MA032 FROM {COPMA} "
                                   "WHERE MA001 = ? OR (MA039 = 'Y' AND MA038 = ?) ORDER BY MA001";

struct CreditGroup {
    std::vector<DbRow> members;
    std::size_t settings = 0; // the group customer's row among the members
};

// The group customer of a customer: MA038 when it takes its settings from there, else itself.
std::string groupCustomer(SalesData& data, const std::string& customer)
{
    const QueryResult found = data.rows(groupOfSql, {customer});
    if (found.rows.empty())
        throw CreditGroupError("unknown customer '" + customer + "'");
    const std::string groupCode = text::trim(found.rows[0][0].toString());
    const bool inGroup = text::trim(found.rows[0][1].toString()) == "Y" && !groupCode.empty();
    return inGroup ? groupCode : customer;
}

// The members in code order, locked in that order when asked, so that two checks of one group
// take its rows the same way round and never wait for each other crosswise.
CreditGroup creditGroup(SalesData& data, const std::string& customer, GroupRows rows)
{
    const std::string head = groupCustomer(data, customer);
    std::string sql = membersSql;
    if (rows == GroupRows::Locked)
        sql += data.dialect().forUpdate();
    CreditGroup group{data.rows(sql, {head, head}).rows};
    while (group.settings < group.members.size() && group.members[group.settings][0].toString() != head)
        ++group.settings;
    if (group.settings == group.members.size())
        throw CreditGroupError("customer '" + customer + "' takes its credit from '" + head +
                               "', which is not a customer");
    return group;
}

} // namespace

Variant CreditFigures::toVariant() const
{
    const double figures[] = {notesReceivable, accountsReceivable, notInvoiced, ordered, total, limit, excess, balance};
    Variant answer = Variant::createArray(0, std::size(figures) - 1);
    for (int i = 0; i < static_cast<int>(std::size(figures)); ++i)
        answer[i] = figures[i];
    return answer;
}

CreditFigures creditFigures(SalesData& data, const std::string& customer, GroupRows rows)
{
    const CreditGroup group = creditGroup(data, customer, rows);
    const auto local = data.findCurrency(data.localCurrency());
    if (!local)
        throw ServiceError("The credit figures of customer '" + customer + "': the local currency '" +
                           data.localCurrency() + "' (system parameter SYS003) is not a currency");
    // Each part as the window shows it, and the total and balance from those: the figures add up
    // to the cent as shown.
    const auto shown = [&](double amount) { return text::roundTo(amount, local->amountDecimals); };
    CreditFigures figures;
    std::vector<Variant> customers;
    for (const DbRow& member : group.members) {
        customers.push_back(member[0]);
        figures.notesReceivable += storedNumber(member[1]);
        figures.accountsReceivable += storedNumber(member[2]);
        figures.notInvoiced += storedNumber(member[3]);
    }
    const DbRow& settings = group.members[group.settings];
    figures.notesReceivable = shown(figures.notesReceivable);
    figures.accountsReceivable = shown(figures.accountsReceivable);
    figures.notInvoiced = shown(figures.notInvoiced);
    figures.ordered = shown(orderedAmount(data, customers) * storedNumber(settings[4]));
    figures.total = shown(figures.notesReceivable + figures.accountsReceivable + figures.notInvoiced + figures.ordered);
    figures.limit = shown(storedNumber(settings[5]));
    figures.excess = shown(figures.limit * storedNumber(settings[6]));
    figures.balance = shown(figures.limit + figures.excess - figures.total);
    return figures;
}

std::vector<ReusedRun> creditReadsAhead(const std::string& customer)
{
    return {{groupOfSql, {customer}},
            {membersSql, {customer, customer}},
            SalesData::systemParameterRead("SYS024"),
            SalesData::systemParameterRead("SYS003")};
}

} // namespace orvane
