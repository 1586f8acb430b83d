#pragma once
// The validator's row lookup by table and kind, as "CheckValue" answers it: whether a row was
// found, and the row (the not-found row of the entry when none was). One body for the validator
// and for the named methods that answer a check's lookups ahead, so both give the same answer.
//
// Threads: as its connection.

#include "platform/variant/Variant.h"
#include "server/catalogue/LookupEntry.h"
#include "server/db/Database.h"

#include <string>
#include <string_view>

namespace orvane {

struct CheckedRow {
    bool found = false;
    Variant row; // an array: the row found, or the not-found row
};

// The lookup of a table and kind; raises CatalogueError for one the catalogue does not hold.
const LookupEntry& checkValueEntry(std::string_view table, std::string_view kind);
// The statement of the lookup, to run alone or together with others (Database::queryAll), and the
// answer from its result.
ReusedRun checkValueRead(Database& db, const std::string& companyDb, const LookupEntry& entry, const Variant& keys);
CheckedRow checkedRowOf(const LookupEntry& entry, const QueryResult& result);

} // namespace orvane
