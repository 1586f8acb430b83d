#include "server/services/CheckValueRow.h"

#include "server/catalogue/LookupCatalogue.h"
#include "server/catalogue/LookupQuery.h"

namespace orvane {

const LookupEntry& checkValueEntry(std::string_view table, std::string_view kind)
{
    return rowLookups().find(table, kind);
}

ReusedRun checkValueRead(Database& db, const std::string& companyDb, const LookupEntry& entry, const Variant& keys)
{
    return LookupQuery(db, companyDb).firstRowRead(entry, keys);
}

CheckedRow checkedRowOf(const LookupEntry& entry, const QueryResult& result)
{
    std::optional<DbRow> row = LookupQuery::firstRowOf(entry, result);
    const bool found = row.has_value();
    return {found, Variant::arrayOf(found ? std::move(*row) : LookupQuery::notFoundRow(entry))};
}

} // namespace orvane
