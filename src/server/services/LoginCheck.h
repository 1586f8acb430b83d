#pragma once
// Establishes a session's login against the system database: the account must exist,
// be active and be allowed in the company, and (for a password login) the password must
// match its stored hash. Failures are not told apart, so a caller cannot probe accounts.
//
// Threads: as the connection.

#include "server/db/Database.h"
#include "server/services/SessionLogin.h"

#include <optional>
#include <string_view>

namespace orvane {

// The login of user in company when the password matches; nullopt otherwise.
std::optional<SessionLogin> checkPasswordLogin(Database& db, std::string_view user, std::string_view password,
                                               std::string_view companyId);
// The login of user in company without a password (in-process use only); nullopt when the
// account is missing, locked or not allowed in the company.
std::optional<SessionLogin> trustedLogin(Database& db, std::string_view user, std::string_view companyId);

} // namespace orvane
