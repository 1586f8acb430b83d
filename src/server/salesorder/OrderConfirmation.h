#pragma once
// The confirmation transaction of the order server: confirms ("DO") or unconfirms ("UNDO")
// one order head in one database transaction. Nothing the client sends is taken on trust:
// the order must exist, the FLAG the client read must still be the stored one (a change
// by someone else in between is refused as a save's FLAG conflict is), the confirmation
// code must allow the operation and a given date must be a date. A confirmation also needs an
// exchange rate above 0 and checks the customer's credit again, in the same transaction
// (OrderCredit); an unconfirmation refuses a transferred order, as the window does.
//
// A confirmation sets TC027 of the head and TD021 of its lines, the approver TC040 (the
// session's user on DO, empty on UNDO), MODIFIER and MODI_DATE, and counts FLAG on as a
// save does, on the head and on every line, so a client still holding the old lines
// cannot save them over the new state.
//
// Threads: as its connection.

#include "platform/variant/Variant.h"
#include "server/db/Database.h"
#include "server/services/SaveRights.h"
#include "server/services/SessionLogin.h"

#include <optional>
#include <string>
#include <vector>

namespace orvane {

// The first element of the answer; 0 is the only one that changed the order.
enum class ConfirmCode {
    Done = 0,
    BadRequest = 1, // not [keys [TC001, TC002], FLAG, "DO" or "UNDO", "TXN", date]
    Gone = 2,       // no order with that key (deleted by another user)
    Changed = 3,    // the stored FLAG is not the one the client read
    WrongState = 4, // the confirmation code, the sign-off or (unconfirming) the transfer does not allow it
    BadDate = 5,    // the confirmation date is neither empty nor a date YYYYMMDD
    NoRight = 6,    // the user may not confirm (unconfirm) this order
    OverCredit = 7, // the order exceeds its customer's credit, whose check method refuses
    BadRate = 8,    // confirming an order whose exchange rate TC009 is not above 0
};

enum class ConfirmOperation { Confirm, Unconfirm };

struct ConfirmRequest {
    std::string type;   // TC001
    std::string number; // TC002
    double flag = 0;    // the FLAG the client read
    ConfirmOperation operation = ConfirmOperation::Confirm;
    std::string date; // "" or YYYYMMDD
};

struct ConfirmAnswer {
    ConfirmCode code = ConfirmCode::BadRequest;
    std::string message; // "" when done
    Variant state;       // TC027 afterwards (the stored one when refused; Null without an order)
    Variant flag;        // FLAG afterwards, likewise

    // [code, message, TC027, FLAG], as the client reads it.
    Variant toVariant() const;
};

// The request array of the client: [keys, FLAG, "DO" or "UNDO", "TXN", date], the date
// optional; nullopt for anything else.
std::optional<ConfirmRequest> confirmRequest(const Variant& value);
// The answer to a request of another shape.
ConfirmAnswer badConfirmRequest();

// Why a sign-off's approval may not confirm (confirm) or unconfirm the stored order of key
// [TC001, TC002], as Confirm refuses it: a confirmation needs an exchange rate above 0 and the
// customer's credit, an unconfirmation an order not transferred; nullopt to go on. Call it inside
// the decision's transaction, the head locked.
std::optional<std::string> approvalRefusal(Database& db, const SessionLogin& login, const std::vector<Variant>& key,
                                           bool confirm);

// Runs the confirmation for the login's user, who has the rights given, in its company database;
// again when the database reports a transient failure.
ConfirmAnswer confirmOrder(Database& db, const SessionLogin& login, const SaveRights& rights,
                           const ConfirmRequest& request);

} // namespace orvane
