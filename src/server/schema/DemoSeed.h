#pragma once
// The demonstration installation: company "PRTest50" (company database "PRTest50") with
// user "ZT" holding every right and user "SALES01" with restricted rights (both with the
// password "demo"), the program row and parameters of TAVI52, system parameters, message
// texts and master data enough to enter real orders.
//
// Threads: as the connection.

#include "server/db/Database.h"

#include <string_view>

namespace orvane {

inline constexpr std::string_view demoCompanyId = "PRTest50";
inline constexpr std::string_view demoCompanyDb = "PRTest50";
inline constexpr std::string_view demoPassword = "demo";

// Creates the schema when needed and inserts the demonstration rows in one transaction.
// Rows whose key already exists are left as they are, so seeding twice changes nothing.
void seedDemo(Database& db);

} // namespace orvane
