#pragma once
// The credit figures of a customer's credit group in the local currency: what "CreditCtrl"
// answers for the credit window and the window's confirmation check, and what the order server's
// confirmation checks an order against inside its transaction. One computation for both, so the
// window and the server agree on the balance to the cent.
//
// A customer that takes its credit settings from a group customer (MA039 "Y", MA038 the group
// customer) shares that customer's limit with every other customer that takes them from it; a
// customer of no group is a group of one. Membership is one level deep.
//
// Threads: as the connection (one call).

#include "platform/variant/Variant.h"
#include "server/services/SalesData.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {

// The rows of the figures, in the order of the credit window's rows.
struct CreditFigures {
    double notesReceivable = 0;    // MA033 of the members
    double accountsReceivable = 0; // MA034
    double notInvoiced = 0;        // MA035: shipped, not yet invoiced
    double ordered = 0;            // confirmed orders still to deliver, with tax, x the group's MA028
    double total = 0;              // the four above
    double limit = 0;              // the group customer's MA031
    double excess = 0;             // limit x MA032: credit that may be exceeded
    double balance = 0;            // limit + excess - total; negative when over the limit

    // The eight figures as "CreditCtrl" answers them.
    Variant toVariant() const;
};

// The customer, or the group customer it names, is not a customer; what() says which.
class CreditGroupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How the members' rows are read: Locked takes them FOR UPDATE (SQLite's writing transaction
// holds them already), for a caller that must see no other check of the group between its
// reading the balance and committing.
enum class GroupRows { Read, Locked };

// The figures of the customer's group; each part rounded to the local currency's amount decimals,
// the total and balance taken from the rounded parts. Raises CreditGroupError for an unknown
// customer or group customer, ServiceError when the local currency is not one.
CreditFigures creditFigures(SalesData& data, const std::string& customer, GroupRows rows = GroupRows::Read);

// What creditFigures reads first for a customer that heads its group, for SalesData::readAhead.
std::vector<ReusedRun> creditReadsAhead(const std::string& customer);

} // namespace orvane
