#pragma once
// The schema as data: every stored table with its columns, keys and indexes, written
// once and turned into each backend's CREATE TABLE and CREATE INDEX texts. The meaning
// of each column and the lookups that read it are kept beside it, so the column map of
// the documentation is generated from the same table.

#include "server/db/SqlDialect.h"

#include <string>
#include <vector>

namespace orvane {

// Where a table lives: the one system database, or every company database.
enum class TableScope { System, Company };

struct ColumnDef {
    std::string name;
    SqlType type = SqlType::Text;
    int size = 0;            // characters, for Text
    std::string meaning;     // what the column holds
    std::string readBy = {}; // lookup kinds and calls that read it ("08:4, 09"), for the column map
};

struct IndexDef {
    std::vector<std::string> columns;
    bool unique = false;
};

// A line table's link to its head: deleting or renumbering the head carries over.
struct ParentLink {
    std::string table;                // the parent table, in the same database
    std::vector<std::string> columns; // columns of this table
    std::vector<std::string> parentColumns;
};

struct TableDef {
    std::string name;
    TableScope scope = TableScope::Company;
    std::string role;               // what the table is for
    std::vector<ColumnDef> columns; // without the audit columns, which every table gets
    std::vector<std::string> primaryKey;
    std::vector<IndexDef> indexes = {};
    std::vector<ParentLink> parents = {};
    // Carries ROW_VERSION after the audit columns: the server's count of changes, which never
    // wraps like FLAG does and is never sent to clients.
    bool versioned = false;
};

// Shorthands for the definition files.
namespace column {
inline ColumnDef text(std::string name, int size, std::string meaning, std::string readBy = {})
{
    return {std::move(name), SqlType::Text, size, std::move(meaning), std::move(readBy)};
}
inline ColumnDef memo(std::string name, std::string meaning, std::string readBy = {})
{
    return {std::move(name), SqlType::Memo, 0, std::move(meaning), std::move(readBy)};
}
inline ColumnDef number(std::string name, std::string meaning, std::string readBy = {})
{
    return {std::move(name), SqlType::Float, 0, std::move(meaning), std::move(readBy)};
}
inline ColumnDef integer(std::string name, std::string meaning, std::string readBy = {})
{
    return {std::move(name), SqlType::Integer, 0, std::move(meaning), std::move(readBy)};
}
} // namespace column

} // namespace orvane
