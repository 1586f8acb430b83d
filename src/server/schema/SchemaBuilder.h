#pragma once
// Creates the schema on a connection: the system tables and the tables of one company
// database, with their indexes and a schema-version row in each database. Running it
// again changes nothing.
//
// Threads: as the connection. Run it from one process at a time (installation or
// server start), not from concurrent sessions.

#include "server/db/Database.h"
#include "server/schema/TableDef.h"

#include <string>
#include <vector>

namespace orvane {

// The schema version this server writes and understands. 2 added DMS_CONTENT, which
// createSchema makes in a database of version 1 like any missing table; 3 added
// APPLY_REQUEST (made the same way) and the ROW_VERSION column of the versioned tables,
// which createSchema adds to the tables of an older company database; 4 added READ_VERSION and
// the triggers counting the writes to the kept tables (made the same way); 5 added
// OPEN_ORDER_AMOUNT and its triggers, filled from the orders of an older company database.
inline constexpr int currentSchemaVersion = 5;

// CREATE TABLE IF NOT EXISTS text of a table, in the company database or, for a system
// table, in the system database.
std::string createTableSql(const SqlDialect& dialect, const std::string& companyDb, const TableDef& table);
// CREATE INDEX IF NOT EXISTS texts of a table's indexes.
std::vector<std::string> createIndexSql(const SqlDialect& dialect, const std::string& companyDb, const TableDef& table);

// Creates whatever is missing of the system database and of companyDb (making the company
// database itself when needed) in one transaction; an empty companyDb creates the system
// database alone. Raises DbError when a database carries
// a newer schema version than this server knows.
void createSchema(Database& db, const std::string& companyDb);

// The schema version recorded in the company database, or in the system database when
// companyDb is empty; 0 when none is recorded. Raises DbError when the schema was never created.
int installedSchemaVersion(Database& db, const std::string& companyDb);

// Today's date as YYYYMMDD (local time), for audit and version stamps.
std::string todayText();

} // namespace orvane
