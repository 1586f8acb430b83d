#pragma once
// What a client's condition may name: the head table (by its name or an alias the
// provider accepts), and inside the line count sub-query its line table, in the
// session's company database. Resolves the names a client wrote to the schema's
// columns, so that only the schema's own spelling is ever written into SQL.
//
// Immutable after setup; any thread may resolve names.

#include "server/query/ConditionAst.h"
#include "server/query/QueryError.h"
#include "server/schema/TableDef.h"

#include <string>
#include <string_view>

namespace orvane {

// A name resolved to a column of the schema.
struct ResolvedColumn {
    const TableDef* table = nullptr;
    const ColumnDef* column = nullptr;
    bool numeric() const { return column->type == SqlType::Float || column->type == SqlType::Integer; }
};

class QueryScope {
public:
    // Conditions on head, a table of companyDb (a plain identifier).
    QueryScope(const TableDef& head, std::string companyDb);
    // The scope of the tables of that name in the catalogue; lines may be empty when the
    // head has no line filter. Raises std::invalid_argument for an unknown table, a line
    // table that does not belong to the head or a company database that is no identifier.
    static QueryScope forTables(std::string_view head, std::string_view lines, std::string companyDb);

    // Allows the line count sub-query over lines, which must link to the head
    // (std::invalid_argument otherwise).
    QueryScope& withLines(const TableDef& lines);
    // Accepts alias as a qualifier of head columns besides the head table's name; it must
    // be a plain identifier that names no table of the scope (std::invalid_argument).
    QueryScope& withHeadAlias(std::string alias);

    const TableDef& head() const { return *head_; }
    const TableDef* lines() const { return lines_; }
    const std::string& companyDb() const { return companyDb_; }
    // The link of the line table to the head (its columns and the head's).
    const ParentLink& lineLink() const { return *link_; }

    // True when qualifier names the head table (its name or the accepted alias).
    bool namesHead(std::string_view qualifier) const;
    // The column a client name stands for; insideLines is true within the line count,
    // where the line table's columns come first. Raises QueryError naming the column.
    ResolvedColumn resolve(const ColumnName& name, bool insideLines, QueryText which) const;

    // The column of a table by name (without regard to case), audit columns included; or nullptr.
    static const ColumnDef* findColumn(const TableDef& table, std::string_view name);

private:
    ResolvedColumn resolveHead(const ColumnName& name, QueryText which) const;
    ResolvedColumn resolveInLines(const ColumnName& name) const;

    const TableDef* head_;
    const TableDef* lines_ = nullptr;
    const ParentLink* link_ = nullptr;
    std::string companyDb_;
    std::string headAlias_;
};

} // namespace orvane
