#include "server/services/CheckValueRow.h"

#include "server/catalogue/LookupCatalogue.h"
#include "server/catalogue/LookupQuery.h"

namespace orvane {

ReusedRun checkValueRead(Database& db, const std::string& companyDb, std::string_view table, std::string_view kind,
                         const Variant& keys)
{
    return LookupQuery(db, companyDb).firstRowRead(rowLookups().find(table, kind), keys);
}

CheckedRow checkedRowOf(std::string_view table, std::string_view kind, QueryResult result)
{
    const LookupEntry& entry = rowLookups().find(table, kind);
    std::optional<DbRow> row = LookupQuery::firstRowOf(entry, std::move(result));
    const bool found = row.has_value();
    return {found, Variant::arrayOf(found ? std::move(*row) : LookupQuery::notFoundRow(entry))};
}

} // namespace orvane
