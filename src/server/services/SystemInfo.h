#pragma once
// The plain answers of the shell's components: the system parameters of a company and
// the message texts.
// Threads: as the connection.

#include "server/db/Database.h"

#include <string>
#include <string_view>

namespace orvane {

// The company's system parameters as the variable manager answers them: a two-dimensional
// array [0..1, 0..n-1], [0, i] the name and [1, i] its value, sorted by name.
Variant systemParameters(Database& db, const std::string& companyDb);

// The text of a message by type letter and code; empty text when there is none. Raises
// ServiceError for a type that is not one letter or a code that is not six or seven digits.
std::string messageText(Database& db, std::string_view type, std::string_view code);

} // namespace orvane
