#pragma once
// Loads data dictionary files (DDFD, DDFM and DDOBJ + language + ".cds", as
// orvane-make-dictionary writes them) into a company database's dictionary tables, one
// language at a time, their texts converted to the database's UTF-8. What
// `orvane-server --import-dictionary` runs.

#include "server/db/Database.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Imports every language whose three files lie in folder; answers the languages imported.
// Raises DataSetFileError for a damaged file (nothing of that language is changed).
std::vector<std::string> importDictionaryFolder(Database& db, std::string_view companyDb,
                                                const std::filesystem::path& folder);

} // namespace orvane
