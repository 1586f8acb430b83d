#pragma once
// The catalogue of every stored table of the server.

#include "server/schema/TableDef.h"

#include <string_view>

namespace orvane {

// Every table, system tables first, in creation order (parents before lines).
const std::vector<TableDef>& allTables();
// The table of that name (compared without case), or nullptr.
const TableDef* findTable(std::string_view name);
// The company table counting the writes to the kept tables, and its one row's count.
inline constexpr std::string_view writeCountTable = "READ_VERSION";
inline constexpr std::string_view writeCountColumn = "VERSION";
// Whether the table is reference data the checks read over and over and the server keeps answers
// of between calls (ReferenceReads): every write to it raises the company's READ_VERSION count.
bool isKeptTable(std::string_view name);
// Whether a statement reads kept tables only, its company tables written {TABLE} or named for
// the company database ("company".TABLE): its answer may then be kept between calls
// (ReferenceReads). Statements name every table so: one they read otherwise is not seen.
bool readsKeptTablesOnly(std::string_view sql, std::string_view companyDb);
// The seven audit columns every stored table carries after its own columns.
const std::vector<ColumnDef>& auditColumns();
// ROW_VERSION, the hidden change count of a versioned table.
const ColumnDef& versionColumn();

// The definition files, one per family of tables.
void addServerTables(std::vector<TableDef>& tables);
void addAdminTables(std::vector<TableDef>& tables);
void addMasterTables(std::vector<TableDef>& tables);
void addCustomerTables(std::vector<TableDef>& tables);
void addItemTables(std::vector<TableDef>& tables);
void addSalesTables(std::vector<TableDef>& tables);
void addWorkflowTables(std::vector<TableDef>& tables);
void addDeliveryTables(std::vector<TableDef>& tables);

} // namespace orvane
