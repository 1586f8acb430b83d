#pragma once
// The validator's row lookup by table and kind, as "CheckValue" answers it: whether a row was
// found, and the row (the not-found row of the entry when none was). One body for the validator
// and for the named methods that answer a check's lookups ahead, so both give the same answer.
//
// Threads: as its connection.

#include "platform/variant/Variant.h"
#include "server/db/Database.h"

#include <string>
#include <string_view>

namespace orvane {

struct CheckedRow {
    bool found = false;
    Variant row; // an array: the row found, or the not-found row
};

// The statement of the lookup, to run alone or together with others (Database::queryAll), and the
// answer from its result. The first raises ServiceError for a table and kind the catalogue does not hold.
ReusedRun checkValueRead(Database& db, const std::string& companyDb, std::string_view table, std::string_view kind,
                         const Variant& keys);
CheckedRow checkedRowOf(std::string_view table, std::string_view kind, QueryResult result);

} // namespace orvane
