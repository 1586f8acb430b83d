#include "server/services/CheckValueRow.h"

#include "server/catalogue/LookupCatalogue.h"
#include "server/catalogue/LookupQuery.h"

namespace orvane {

CheckedRow checkValueRow(Database& db, const std::string& companyDb, std::string_view table, std::string_view kind,
                         const Variant& keys)
{
    const LookupEntry& entry = rowLookups().find(table, kind);
    auto row = LookupQuery(db, companyDb).firstRow(entry, keys);
    const bool found = row.has_value();
    return {found, Variant::arrayOf(found ? std::move(*row) : LookupQuery::notFoundRow(entry))};
}

} // namespace orvane
