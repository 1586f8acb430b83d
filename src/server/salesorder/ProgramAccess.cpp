#include "server/salesorder/ProgramAccess.h"

#include "platform/text/ByteText.h"
#include "server/db/DbError.h"

#include <algorithm>

namespace orvane {

namespace {

// Records per packet the client may ask for; the client never fetches more than 20.
constexpr int maxRecordLimit = 20;

// The per-user parameters, which come from the user's rows rather than PRG_PARAM.
bool perUserParameter(const std::string& name)
{
    return text::equalsIgnoringAsciiCase(name, "MAX_RECORD") || text::equalsIgnoringAsciiCase(name, "USER_GROUP") ||
           text::equalsIgnoringAsciiCase(name, "GROUP_LIST") || text::equalsIgnoringAsciiCase(name, "POWER_DATA");
}

// One NAME=VALUE line; a line break inside a value would start a parameter of its own.
std::string line(const std::string& name, std::string value)
{
    std::replace(value.begin(), value.end(), '\r', ' ');
    std::replace(value.begin(), value.end(), '\n', ' ');
    return name + "=" + value + "\r\n";
}

std::string maxRecord(const QueryResult& parameters)
{
    for (const DbRow& row : parameters.rows) {
        if (text::equalsIgnoringAsciiCase(row[0].toString(), "MAX_RECORD")) {
            // Unreadable or not positive: the default, since 0 would fetch no rows at all.
            const std::int64_t value = Variant(row[1].toString()).toIntegerOrZero();
            return std::to_string(value > 0 ? std::min<std::int64_t>(value, maxRecordLimit) : maxRecordLimit);
        }
    }
    return std::to_string(maxRecordLimit);
}

// The company's database when the company exists and the client's name (if any) is it.
std::optional<std::string> companyDatabase(Database& db, const ConnectRequest& request)
{
    const QueryResult company =
        db.query("SELECT COMPANY_DB FROM " + db.dialect().systemTable("SYS_COMPANY") + " WHERE COMPANY_ID = ?",
                 {request.companyId});
    if (company.rows.empty())
        return std::nullopt;
    const std::string companyDb = company.rows[0][0].toString();
    if (!request.companyDb.empty() && request.companyDb != companyDb)
        return std::nullopt;
    try {
        SqlDialect::checkIdentifier(companyDb, "company database");
        if (!db.hasCompany(companyDb))
            return std::nullopt;
    } catch (const DbError&) {
        return std::nullopt;
    }
    return companyDb;
}

bool memberOfCompany(Database& db, const ConnectRequest& request)
{
    const SqlDialect& d = db.dialect();
    return !db.query("SELECT 1 FROM " + d.systemTable("SYS_USER") + " U JOIN " + d.systemTable("SYS_USER_COMPANY") +
                         " UC ON UC.USER_ID = U.USER_ID WHERE U.USER_ID = ? AND UC.COMPANY_ID = ? AND U.ACTIVE = 'Y'",
                     {request.userId, request.companyId})
                .rows.empty();
}

// The checks and parameters that live in the company database.
ConnectAnswer checkInCompany(Database& db, const ConnectRequest& request, const SessionLogin& login)
{
    const SqlDialect& d = db.dialect();
    const std::string& cdb = login.companyDb;
    const QueryResult user = db.query(
        "SELECT MF004, MF006, MF005 FROM " + d.companyTable(cdb, "ADMMF") + " WHERE MF001 = ?", {request.userId});
    if (user.rows.empty())
        return {ConnectCode::UnknownUser, {}, {}};
    if (db.query("SELECT 1 FROM " + d.companyTable(cdb, "ADMMB") + " WHERE MB001 = ?", {orderProgramId}).rows.empty())
        return {ConnectCode::UnknownProgram, {}, {}};
    const QueryResult rights =
        db.query("SELECT MG003, MG006 FROM " + d.companyTable(cdb, "ADMMG") + " WHERE MG001 = ? AND MG002 = ?",
                 {request.userId, orderProgramId});
    // A rights row that says "Y", or any row of a super user: its rights text is what the program
    // runs with.
    const bool superUser = user.rows[0][2].toString() == "Y";
    if (rights.rows.empty() || (rights.rows[0][0].toString() != "Y" && !superUser))
        return {ConnectCode::NoRights, {}, {}};

    const QueryResult parameters = db.query("SELECT PARAM_NAME, PARAM_VALUE FROM " + d.companyTable(cdb, "PRG_PARAM") +
                                                " WHERE PROGRAM_ID = ? ORDER BY PARAM_NAME",
                                            {orderProgramId});
    UserRights userRights{user.rows[0][0].toString(), user.rows[0][1].toString(), rights.rows[0][1].toString()};
    std::string svrData = line("MAX_RECORD", maxRecord(parameters)) + line("USER_GROUP", userRights.userGroup) +
                          line("GROUP_LIST", userRights.groupList) + line("POWER_DATA", userRights.powerData);
    for (const DbRow& row : parameters.rows) {
        const std::string name = row[0].toString();
        if (!perUserParameter(name))
            svrData += line(name, row[1].toString());
    }
    return {ConnectCode::Accepted, login, svrData, std::move(userRights)};
}

} // namespace

ConnectAnswer checkConnect(ServiceContext& context, const ConnectRequest& request,
                           const std::optional<SessionLogin>& authenticated)
{
    if (request.programId.empty() || request.userId.empty() || request.companyId.empty())
        return {ConnectCode::BadRequest, {}, {}};
    if (!text::equalsIgnoringAsciiCase(request.programId, orderProgramId))
        return {ConnectCode::UnknownProgram, {}, {}};
    // Only the client's own process may name its user without proving it.
    if (!authenticated && !context.embedded())
        return {ConnectCode::NotLoggedIn, {}, {}};
    if (authenticated && (authenticated->userId != request.userId || authenticated->companyId != request.companyId))
        return {ConnectCode::OtherLogin, {}, {}};

    const auto companyDb = context.withSystem([&](Database& db) { return companyDatabase(db, request); });
    if (!companyDb)
        return {ConnectCode::UnknownCompany, {}, {}};
    if (!context.withSystem([&](Database& db) { return memberOfCompany(db, request); }))
        return {ConnectCode::UnknownUser, {}, {}};
    const SessionLogin login{request.userId, request.companyId, *companyDb};
    return context.withCompany(login, [&](Database& db) { return checkInCompany(db, request, login); });
}

} // namespace orvane
