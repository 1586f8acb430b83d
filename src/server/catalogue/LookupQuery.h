#pragma once
// Runs catalogue entries: checks the caller's keys against the entry, binds them to the
// entry's markers and reads the rows of the company database. The company database
// is the session's, never the request's; table names come from the entry.
//
// Threads: as the connection it runs on.

#include "server/catalogue/LookupEntry.h"
#include "server/db/Database.h"

#include <optional>
#include <string>
#include <vector>

namespace orvane {

class LookupQuery {
public:
    // Runs on db (the company database must be addressable on it).
    LookupQuery(Database& db, std::string companyDb) : db_(db), companyDb_(std::move(companyDb)) {}

    // The rows of an entry; keys is the caller's key array (or one value). limit 0 reads
    // every row. Raises CatalogueError for a wrong key count or an unusable key.
    std::vector<DbRow> rows(const LookupEntry& entry, const Variant& keys, std::size_t offset = 0,
                            std::size_t limit = 0);
    // The first row, when the entry finds one (see found()).
    std::optional<DbRow> firstRow(const LookupEntry& entry, const Variant& keys);
    // The statement firstRow runs, to run it together with others (Database::queryAll), and the
    // first row of its result.
    ReusedRun firstRowRead(const LookupEntry& entry, const Variant& keys) const { return read(entry, keys, 0, 1); }
    static std::optional<DbRow> firstRowOf(const LookupEntry& entry, const QueryResult& result);

    // The SELECT text of an entry for a dialect and company database, with " LIMIT ? OFFSET ?"
    // appended when paged; built once, then kept with the entry.
    static const std::string& sql(const SqlDialect& dialect, const std::string& companyDb, const LookupEntry& entry,
                                  bool paged);
    // The bound values of the caller's keys, in marker order; raises CatalogueError.
    static std::vector<Variant> bindValues(const LookupEntry& entry, const Variant& keys);
    // Whether a row counts as found: it exists, and for a counted entry column 0 is above 0.
    static bool found(const LookupEntry& entry, const DbRow& row);
    // The row answered when nothing is found: as wide as the entry, every column empty
    // text, column 0 of a counted entry 0. Callers reading a column never fall off the row.
    static DbRow notFoundRow(const LookupEntry& entry);

private:
    ReusedRun read(const LookupEntry& entry, const Variant& keys, std::size_t offset, std::size_t limit) const;
    // The bound values of a read: the keys', then the page's limit and offset when limit is not 0.
    static std::vector<Variant> readValues(const LookupEntry& entry, const Variant& keys, std::size_t offset,
                                           std::size_t limit);

    Database& db_;
    std::string companyDb_;
};

} // namespace orvane
