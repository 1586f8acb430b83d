#pragma once
// Whether a user may run the sales-order program in a company ("Connect"), and the
// program parameters the client reads after it ("SvrData"). The company database a
// client names is only ever used after it was found as that company's database in the
// system tables.
//
// Stateless; any thread (each call borrows its own connections).

#include "server/services/ServiceContext.h"

#include <optional>
#include <string>

namespace orvane {

// The answers of "Connect"; 0 is the only one that opens the session.
enum class ConnectCode {
    Accepted = 0,
    BadRequest = 1,     // not an array of [program, user, company, company database, flag] texts
    UnknownCompany = 2, // no such company, or the company database is not the company's
    UnknownUser = 3,    // the user is missing, locked or not a member of the company
    UnknownProgram = 4, // not this server object's program, or no program row in the company
    NoRights = 5,       // the user has no rights row for the program, or it says N
    OtherLogin = 6,     // the session is logged in as another user or company
    NotLoggedIn = 7,    // a network session that has not proved its user
};

struct ConnectRequest {
    std::string programId;
    std::string userId;
    std::string companyId;
    std::string companyDb; // may be empty: the company's own
};

// The user's rows the server's own checks and stamps work from: the same values SvrData
// hands the client.
struct UserRights {
    std::string userGroup; // ADMMF.MF004, USER_GROUP
    std::string groupList; // ADMMF.MF006, GROUP_LIST
    std::string powerData; // ADMMG.MG006 of the program, POWER_DATA
};

struct ConnectAnswer {
    ConnectCode code = ConnectCode::BadRequest;
    SessionLogin login;  // valid when accepted
    std::string svrData; // NAME=VALUE lines, valid when accepted
    UserRights rights;   // valid when accepted
};

// The program this server object serves.
inline constexpr const char* orderProgramId = "TAVI52";

// Checks a request; `authenticated` is the login the session already holds, if any.
ConnectAnswer checkConnect(ServiceContext& context, const ConnectRequest& request,
                           const std::optional<SessionLogin>& authenticated);

} // namespace orvane
