#include "server/query/QueryScope.h"

#include "platform/text/ByteText.h"
#include "server/db/DbError.h"
#include "server/db/SqlDialect.h"
#include "server/query/QueryToken.h"
#include "server/schema/Tables.h"

#include <stdexcept>

namespace orvane {

namespace {

void checkName(std::string_view name, std::string_view what)
{
    try {
        SqlDialect::checkIdentifier(name, what);
    } catch (const DbError& e) {
        throw std::invalid_argument(e.what());
    }
}

const TableDef& tableNamed(std::string_view name)
{
    const TableDef* table = findTable(name);
    if (!table)
        throw std::invalid_argument("Query scope: there is no table '" + std::string(name) + "'");
    return *table;
}

} // namespace

QueryScope::QueryScope(const TableDef& head, std::string companyDb) : head_(&head), companyDb_(std::move(companyDb))
{
    checkName(companyDb_, "company database");
}

QueryScope QueryScope::forTables(std::string_view head, std::string_view lines, std::string companyDb)
{
    QueryScope scope(tableNamed(head), std::move(companyDb));
    if (!lines.empty())
        scope.withLines(tableNamed(lines));
    return scope;
}

QueryScope& QueryScope::withLines(const TableDef& lines)
{
    for (const auto& parent : lines.parents) {
        if (text::equalsIgnoringAsciiCase(parent.table, head_->name)) {
            lines_ = &lines;
            link_ = &parent;
            return *this;
        }
    }
    throw std::invalid_argument("Query scope: " + lines.name + " is not a line table of " + head_->name);
}

QueryScope& QueryScope::withHeadAlias(std::string alias)
{
    checkName(alias, "table alias");
    if (text::equalsIgnoringAsciiCase(alias, head_->name) ||
        (lines_ && text::equalsIgnoringAsciiCase(alias, lines_->name)))
        throw std::invalid_argument("Query scope: the alias '" + alias + "' is the name of a table");
    headAlias_ = std::move(alias);
    return *this;
}

bool QueryScope::namesHead(std::string_view qualifier) const
{
    return text::equalsIgnoringAsciiCase(qualifier, head_->name) ||
           (!headAlias_.empty() && text::equalsIgnoringAsciiCase(qualifier, headAlias_));
}

const ColumnDef* QueryScope::findColumn(const TableDef& table, std::string_view name)
{
    for (const auto& column : table.columns) {
        if (text::equalsIgnoringAsciiCase(column.name, name))
            return &column;
    }
    for (const auto& column : auditColumns()) {
        if (text::equalsIgnoringAsciiCase(column.name, name))
            return &column;
    }
    return nullptr;
}

ResolvedColumn QueryScope::resolve(const ColumnName& name, bool insideLines, QueryText which) const
{
    return insideLines ? resolveInLines(name) : resolveHead(name, which);
}

ResolvedColumn QueryScope::resolveHead(const ColumnName& name, QueryText which) const
{
    if (name.qualifier.empty() || namesHead(name.qualifier)) {
        if (const ColumnDef* column = findColumn(*head_, name.name))
            return {head_, column};
        throw QueryError(which, name.position,
                         "unknown column '" + name.shown() + "': table " + head_->name + " has no column " + name.name);
    }
    if (lines_ && text::equalsIgnoringAsciiCase(name.qualifier, lines_->name))
        throw QueryError(which, name.position,
                         "the line column " + name.shown() + " can be used only inside the line count sub-query");
    throw QueryError(which, name.position,
                     "unknown table '" + name.qualifier + "' in " + name.shown() + ": only " + head_->name +
                         "'s columns can be named here");
}

ResolvedColumn QueryScope::resolveInLines(const ColumnName& name) const
{
    const bool lineQualifier = text::equalsIgnoringAsciiCase(name.qualifier, lines_->name);
    const bool headQualifier = namesHead(name.qualifier);
    if (!name.qualifier.empty() && !lineQualifier && !headQualifier)
        throw QueryError(QueryText::Condition, name.position,
                         "unknown table '" + name.qualifier + "' in " + name.shown() + ": the line count can name " +
                             lines_->name + " and " + head_->name + " only");
    // The line table's own columns come first, as in SQL. A head-qualified name the head
    // lacks but the lines have is taken as the line column: the query window may qualify
    // line fields with the head table's name.
    const ColumnDef* headColumn = lineQualifier ? nullptr : findColumn(*head_, name.name);
    if (headQualifier && headColumn)
        return {head_, headColumn};
    if (const ColumnDef* column = findColumn(*lines_, name.name))
        return {lines_, column};
    if (headColumn)
        return {head_, headColumn};
    const std::string missing = lineQualifier   ? "table " + lines_->name + " has no column "
                                : headQualifier ? "neither " + head_->name + " nor " + lines_->name + " has a column "
                                                : "neither " + lines_->name + " nor " + head_->name + " has a column ";
    throw QueryError(QueryText::Condition, name.position,
                     "unknown column '" + name.shown() + "': " + missing + name.name);
}

} // namespace orvane
