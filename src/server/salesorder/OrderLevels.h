#pragma once
// The three levels of a sales order as the order provider serves them: heads (COPTC),
// their lines (COPTD, nested field qryBody) and the lines' sub-lines (COPTM, nested field
// qryFoot). Per level: the stored columns with their schema types and sizes, the
// companion fields joined from the master tables (never stored), the key, the leading
// key columns that repeat the parent's key, and the SELECT text that reads a level.
//
// Immutable, built once; any thread.

#include "platform/data/FieldDef.h"
#include "server/db/SqlDialect.h"
#include "server/schema/TableDef.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// A field the packets carry that no table stores: a name, a master column or expression.
struct Companion {
    std::string name;       // as the client's datasets spell it ("TC004C1")
    FieldType type;         // String or Float
    int size;               // string capacity the client gives it
    std::string expression; // SQL over the level's table and joins; "{TABLE}" names a company table
};

class OrderLevel {
public:
    OrderLevel(const TableDef& table, std::size_t linkCount, std::vector<Companion> companions,
               std::vector<std::string> joins, std::string nestedName, const OrderLevel* child);

    const TableDef& table() const { return *table_; }
    const std::string& name() const { return table_->name; }
    // Own columns, then the audit columns.
    const std::vector<ColumnDef>& stored() const { return stored_; }
    const std::vector<Companion>& companions() const { return companions_; }
    const std::vector<std::string>& key() const { return table_->primaryKey; }
    // Number of leading key columns that repeat the parent's key (0 for heads).
    std::size_t linkCount() const { return linkCount_; }
    // The nested field that carries the child level ("qryBody"), "" at the bottom.
    const std::string& nestedName() const { return nestedName_; }
    const OrderLevel* child() const { return child_; }

    // Index of a stored column by name (without regard to case), -1 when none.
    int storedIndex(std::string_view name) const;
    // Index among stored() of each key column.
    const std::vector<int>& keyIndexes() const { return keyIndexes_; }
    // Packet fields: stored columns, companions, then the nested field when there is a child.
    std::vector<FieldDef> fields() const;
    // "SELECT <stored>, <companions>, ROW_VERSION FROM <table> <joins>" in companyDb; a WHERE
    // may follow. ROW_VERSION is the server's own and never goes into a packet.
    std::string selectSql(const SqlDialect& dialect, const std::string& companyDb) const;

private:
    const TableDef* table_;
    std::vector<ColumnDef> stored_;
    std::vector<int> keyIndexes_;
    std::size_t linkCount_;
    std::vector<Companion> companions_;
    std::vector<std::string> joins_;
    std::string nestedName_;
    const OrderLevel* child_;
};

// The head level, whose child() is the line level, whose child() is the sub-line level.
const OrderLevel& orderHeads();

} // namespace orvane
