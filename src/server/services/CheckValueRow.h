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

// Raises ServiceError for a table and kind the catalogue does not hold.
CheckedRow checkValueRow(Database& db, const std::string& companyDb, std::string_view table, std::string_view kind,
                         const Variant& keys);
// The same in two halves, to run the statement together with others (Database::queryAll): the
// statement, and the answer from its result.
ReusedRun checkValueRead(Database& db, const std::string& companyDb, std::string_view table, std::string_view kind,
                         const Variant& keys);
CheckedRow checkedRowOf(std::string_view table, std::string_view kind, QueryResult result);

} // namespace orvane
