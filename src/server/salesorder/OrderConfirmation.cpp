#include "server/salesorder/OrderConfirmation.h"

#include "platform/text/ByteText.h"
#include "platform/text/DateText.h"
#include "platform/variant/NumberText.h"
#include "server/db/Transaction.h"
#include "server/salesorder/OrderCredit.h"
#include "server/salesorder/OrderLevels.h"
#include "server/salesorder/OrderWriter.h"
#include "server/schema/SchemaBuilder.h"
#include "server/services/SalesData.h"
#include "server/services/WorkflowJob.h"

namespace orvane {

namespace {

// A text element of the request; nothing for another type.
std::optional<std::string> textOf(const Variant& value)
{
    return value.isString() ? std::optional(value.asString()) : std::nullopt;
}

std::optional<ConfirmOperation> operationOf(const Variant& value)
{
    const auto word = textOf(value);
    if (word && text::equalsIgnoringAsciiCase(*word, "DO"))
        return ConfirmOperation::Confirm;
    if (word && text::equalsIgnoringAsciiCase(*word, "UNDO"))
        return ConfirmOperation::Unconfirm;
    return std::nullopt;
}

bool validDate(const std::string& date)
{
    return date.empty() || (date.size() == 8 && text::parseDateText(date).has_value());
}

std::string stateMeaning(const std::string& state)
{
    if (state.empty() || state == "N")
        return "not confirmed";
    if (state == "Y")
        return "confirmed";
    if (state == "U")
        return "confirmation failed";
    if (state == "V")
        return "void";
    return "not a confirmation code";
}

// Confirming takes N, U or empty to Y; unconfirming takes Y or U to N.
bool allowed(ConfirmOperation operation, const std::string& state)
{
    if (operation == ConfirmOperation::Confirm)
        return state.empty() || state == "N" || state == "U";
    return state == "Y" || state == "U";
}

std::string wrongState(const std::string& context, ConfirmOperation operation, const std::string& state)
{
    const bool confirm = operation == ConfirmOperation::Confirm;
    return context + " cannot be " + (confirm ? "confirmed" : "unconfirmed") + ": its confirmation code TC027 is '" +
           state + "' (" + stateMeaning(state) + "); only an order in " + (confirm ? "N, U or empty" : "Y or U") +
           " can be";
}

// A transferred order (TC050 neither "N" nor empty) has its downstream documents: the window does
// not unconfirm it (E 100402), but for a multi-party order marked "y", which it lets through.
std::optional<std::string> transferRefusal(Database& db, const std::string& companyDb, const std::string& type,
                                           const std::string& transfer, const std::string& context)
{
    if (transfer.empty() || transfer == "N" || transferredMultiParty(db, companyDb, type, transfer))
        return std::nullopt;
    return "订单已抛转, 不可取消审核! (the order was transferred, TC050 '" + transfer +
           "': it cannot be unconfirmed): " + context;
}

// A confirmed order counts in its customer's open amount at its exchange rate TC009, and its credit
// is checked at it: a rate of 0 or below would count it for nothing (or against what is owed). An
// order being entered may be saved before its rate is known; it is confirmed only with one.
std::optional<std::string> rateRefusal(const Variant& rate, const std::string& context)
{
    if (storedNumber(rate) > 0)
        return std::nullopt;
    return context + " cannot be confirmed: its exchange rate TC009 is " + text::floatToText(storedNumber(rate)) +
           "; an order's rate must be above 0 (1 in the local currency)";
}

ConfirmAnswer refused(ConfirmCode code, std::string message, Variant state = Variant::null(),
                      Variant flag = Variant::null())
{
    return {code, std::move(message), std::move(state), std::move(flag)};
}

// The confirmation inside the caller's transaction.
ConfirmAnswer confirmLocked(Database& db, const SessionLogin& login, const SaveRights& rights,
                            const ConfirmRequest& request)
{
    const SqlDialect& d = db.dialect();
    const std::string& companyDb = login.companyDb;
    const std::string& userId = login.userId;
    const OrderLevel& heads = orderHeads();
    const std::vector<Variant> key{request.type, request.number};
    const std::string context = recordContext(heads, key);
    const QueryResult found = db.query("SELECT TC027, FLAG, CREATOR, USR_GROUP, TC048, TC050, TC009 FROM " +
                                           d.companyTable(companyDb, "COPTC") + " WHERE TC001 = ? AND TC002 = ? " +
                                           std::string(d.forUpdate()),
                                       key);
    if (found.rows.empty())
        return refused(ConfirmCode::Gone, deletedByAnotherUser(heads, key));
    const std::string state = found.rows[0][0].toString();
    const double stored = found.rows[0][1].isNumeric() ? found.rows[0][1].toFloat() : 0.0;
    const bool confirm = request.operation == ConfirmOperation::Confirm;
    const OrderChange change = confirm ? OrderChange::Confirm : OrderChange::Unconfirm;
    if (!rights.allows(change, found.rows[0][2].toString(), found.rows[0][3].toString()))
        return refused(ConfirmCode::NoRight, noRightText(change, context), state, stored);
    if (!sameFlag(request.flag, stored))
        return refused(ConfirmCode::Changed, changedByAnotherUser(heads, key), state, stored);
    if (!allowed(request.operation, state))
        return refused(ConfirmCode::WrongState, wrongState(context, request.operation, state), state, stored);
    if (const std::string signOff = text::trim(found.rows[0][4].toString()); signOffPending(signOff))
        return refused(ConfirmCode::WrongState,
                       context + " is in sign-off (TC048 '" + signOff + "'): its job decides the confirmation", state,
                       stored);
    if (confirm) {
        if (auto refusal = rateRefusal(found.rows[0][6], context))
            return refused(ConfirmCode::BadRate, std::move(*refusal), state, stored);
        if (auto refusal = creditRefusal(db, login, key, context))
            return refused(ConfirmCode::OverCredit, std::move(*refusal), state, stored);
    } else if (auto refusal =
                   transferRefusal(db, companyDb, request.type, text::trim(found.rows[0][5].toString()), context)) {
        return refused(ConfirmCode::WrongState, std::move(*refusal), state, stored);
    }

    const std::string newState = confirm ? "Y" : "N";
    const std::string approver = confirm ? userId : std::string();
    const std::string today = todayText();
    const double flag = nextFlag(stored);
    db.execute("UPDATE " + d.companyTable(companyDb, "COPTC") +
                   " SET TC027 = ?, TC040 = ?, MODIFIER = ?, MODI_DATE = ?, FLAG = ?, ROW_VERSION = ROW_VERSION + 1"
                   " WHERE TC001 = ? AND TC002 = ?",
               {newState, approver, userId, today, flag, request.type, request.number});
    // The lines repeat the head's code; their FLAG counts on as nextFlag does (and ROW_VERSION with it).
    db.execute("UPDATE " + d.companyTable(companyDb, "COPTD") +
                   " SET TD021 = ?, MODIFIER = ?, MODI_DATE = ?,"
                   " FLAG = CASE WHEN FLAG >= 999 THEN 0 ELSE FLAG + 1 END, ROW_VERSION = ROW_VERSION + 1"
                   " WHERE TD001 = ? AND TD002 = ?",
               {newState, userId, today, request.type, request.number});
    return {ConfirmCode::Done, {}, newState, flag};
}

} // namespace

Variant ConfirmAnswer::toVariant() const
{
    return Variant::arrayOf({static_cast<int>(code), message, state, flag});
}

std::optional<ConfirmRequest> confirmRequest(const Variant& value)
{
    if (!value.isArray() || value.dimensions() != 1)
        return std::nullopt;
    const auto elements = value.array().elements();
    if (elements.size() != 4 && elements.size() != 5)
        return std::nullopt;
    const Variant& keys = elements[0];
    if (!keys.isArray() || keys.dimensions() != 1 || keys.array().size() != 2)
        return std::nullopt;
    const auto type = textOf(keys.array().elements()[0]);
    const auto number = textOf(keys.array().elements()[1]);
    const auto operation = operationOf(elements[2]);
    const auto marker = textOf(elements[3]);
    const auto date = elements.size() == 5 ? textOf(elements[4]) : std::optional<std::string>("");
    if (!type || type->empty() || !number || number->empty() || !elements[1].isNumeric() || !operation || !marker ||
        !text::equalsIgnoringAsciiCase(*marker, "TXN") || !date)
        return std::nullopt;
    return ConfirmRequest{*type, *number, elements[1].toFloat(), *operation, *date};
}

ConfirmAnswer badConfirmRequest()
{
    return refused(ConfirmCode::BadRequest,
                   "Confirm: the request must be [[TC001, TC002], FLAG, \"DO\" or \"UNDO\", \"TXN\", date]");
}

std::optional<std::string> approvalRefusal(Database& db, const SessionLogin& login, const std::vector<Variant>& key,
                                           bool confirm)
{
    const QueryResult found =
        db.query("SELECT TC009, TC050 FROM " + db.dialect().companyTable(login.companyDb, "COPTC") +
                     " WHERE TC001 = ? AND TC002 = ?",
                 key);
    const std::string context = recordContext(orderHeads(), key);
    if (found.rows.empty())
        return deletedByAnotherUser(orderHeads(), key);
    if (!confirm)
        return transferRefusal(db, login.companyDb, key[0].toString(), text::trim(found.rows[0][1].toString()),
                               context);
    if (auto refusal = rateRefusal(found.rows[0][0], context))
        return refusal;
    return creditRefusal(db, login, key, context);
}

ConfirmAnswer confirmOrder(Database& db, const SessionLogin& login, const SaveRights& rights,
                           const ConfirmRequest& request)
{
    if (!validDate(request.date))
        return refused(ConfirmCode::BadDate, "Confirm: the confirmation date '" + request.date + "' of " +
                                                 recordContext(orderHeads(), {request.type, request.number}) +
                                                 " is not a date YYYYMMDD");
    ConfirmAnswer answer;
    inTransaction(db, [&] { answer = confirmLocked(db, login, rights, request); });
    return answer;
}

} // namespace orvane
