#pragma once
// The credit check of an order's confirmation, on the server. The window checks the customer's
// credit before it sends Confirm, but two clerks confirming orders of one credit group at the same
// time would both pass against the same balance, and a client that skips the check would confirm
// anything; so the confirmation decides again inside its own transaction, as the window decides:
//
// - an order of kind "27" (CMSMQ.MQ003 of TC001) whose transfer status TC050 is "y" is not checked;
// - a customer whose MA039 and MA037 are both "N" is not checked;
// - the check method and rate are MA040 and MA041 of the customer, or of its group customer (MA038)
//   when MA039 is "Y"; when those settings' MA036 is "Y" and the customer has a COPMH row, its MH002
//   and MH008 instead;
// - method "1" checks nothing and method "2" only warns (in the window), so both go on; any other
//   method refuses an order whose (TC029 + TC030) x TC009 x rate exceeds the group's credit balance,
//   the sum of its lines' TD038 + TD039 taken for TC029 + TC030 where it is larger (the head's totals
//   are the client's sums).
//
// Threads: as the connection (inside the confirmation's transaction).

#include "server/db/Database.h"
#include "server/services/SessionLogin.h"

#include <optional>
#include <string>
#include <vector>

namespace orvane {

// The refusal's message when the customer's credit does not allow the order (context names the
// order), nullopt when it may be confirmed. Locks the rows of the customer's credit group before
// reading its balance; call it inside the confirmation's transaction, before the order is confirmed.
// key: [TC001, TC002] of a stored head.
std::optional<std::string> creditRefusal(Database& db, const SessionLogin& login, const std::vector<Variant>& key,
                                         const std::string& context);

// Whether an order of the type, whose transfer status TC050 is transfer, is a multi-party order
// (kind "27", CMSMQ.MQ003 of the type) whose transfer is done ("y"): the window confirms and
// unconfirms it without its checks.
bool transferredMultiParty(Database& db, const std::string& companyDb, const std::string& type,
                           const std::string& transfer);

} // namespace orvane
