#include "server/query/ConditionBinder.h"

#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"
#include "server/query/QueryToken.h"

#include <cmath>

namespace orvane {

namespace {

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};

std::string_view opText(CompareOp op)
{
    switch (op) {
    case CompareOp::Equal: return "=";
    case CompareOp::NotEqual: return "<>";
    case CompareOp::Less: return "<";
    case CompareOp::LessEqual: return "<=";
    case CompareOp::Greater: return ">";
    case CompareOp::GreaterEqual: return ">=";
    }
    return "=";
}

[[noreturn]] void refuse(std::size_t position, std::string_view reason)
{
    throw QueryError(QueryText::Condition, position, reason);
}

// A like pattern with its backslashes made literal: the statement declares '\' as the
// escape character, so that both backends read '\' alike and '%' and '_' stay wildcards.
std::string likePattern(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

// Writes one condition; lives for one bind call.
class ConditionBinder::Emitter {
public:
    Emitter(const QueryScope& scope, const SqlDialect& dialect, const QueryLimits& limits)
        : scope_(scope), dialect_(dialect), limits_(limits)
    {}

    BoundCondition finish(const Condition& condition)
    {
        emit(condition, false);
        return {std::move(sql_), std::move(params_)};
    }

private:
    void emit(const Condition& condition, bool insideLines)
    {
        std::visit(Overloaded{[&](const Junction& node) { emitJunction(node, insideLines); },
                              [&](const Negation& node) {
                                  sql_ += "NOT (";
                                  emit(*node.term, insideLines);
                                  sql_ += ")";
                              },
                              [&](const Comparison& node) { emitComparison(node, insideLines); },
                              [&](const Match& node) { emitMatch(node, insideLines); },
                              [&](const NullTest& node) {
                                  sql_ += columnSql(resolve(node.column, insideLines));
                                  sql_ += node.negated ? " IS NOT NULL" : " IS NULL";
                              },
                              [&](const Constant& node) { sql_ += node.value ? "1 = 1" : "1 = 0"; },
                              [&](const LineCount& node) { emitLineCount(node, condition.position); }},
                   condition.node);
    }

    void emitJunction(const Junction& node, bool insideLines)
    {
        sql_ += "(";
        for (std::size_t i = 0; i < node.terms.size(); ++i) {
            if (i > 0)
                sql_ += node.logic == Logic::And ? " AND " : " OR ";
            emit(*node.terms[i], insideLines);
        }
        sql_ += ")";
    }

    void emitComparison(const Comparison& node, bool insideLines)
    {
        const ResolvedColumn column = resolve(node.column, insideLines);
        sql_ += columnSql(column);
        sql_ += ' ';
        sql_ += opText(node.op);
        sql_ += " ?";
        addParam(column.numeric() ? number(node.value, column) : Variant(node.value.text), node.value.position);
    }

    // Numeric columns compare as text with like: "LIKE '100%'" finds 100, 1000 and 100.5.
    // ASCII letters match in either case, on every backend alike.
    void emitMatch(const Match& node, bool insideLines)
    {
        const ResolvedColumn column = resolve(node.column, insideLines);
        const std::string operand = column.numeric() ? dialect_.numberText(columnSql(column)) : columnSql(column);
        sql_ += dialect_.likeIgnoringCase(operand, node.negated);
        addParam(Variant(likePattern(node.pattern.text)), node.pattern.position);
    }

    void emitLineCount(const LineCount& node, std::size_t position)
    {
        const TableDef* lines = scope_.lines();
        if (!lines)
            refuse(position, "conditions on lines are not accepted for table " + scope_.head().name);
        if (!text::equalsIgnoringAsciiCase(node.table.name, lines->name))
            refuse(node.table.position, "the line count can read only " + lines->name + ", not " + node.table.name);
        if (!node.database.empty() && !text::equalsIgnoringAsciiCase(node.database, scope_.companyDb()))
            refuse(node.table.position, "company database '" + node.database +
                                            "' is not this session's company database " + scope_.companyDb());
        if (!text::equalsIgnoringAsciiCase(node.alias, lines->name))
            refuse(node.table.position,
                   "the line table must be named " + lines->name + " in the line count, not " + node.alias);
        sql_ += "EXISTS (SELECT 1 FROM " +
                dialect_.table(lines->scope == TableScope::Company ? scope_.companyDb() : "", lines->name);
        sql_ += " " + lines->name + " WHERE ";
        emitLinks(node, position);
        for (const auto& filter : node.filters) {
            sql_ += " AND ";
            emit(*filter, true);
        }
        sql_ += ")";
    }

    // The links must be exactly the line table's link to the head, in any order; they
    // are written from the schema.
    void emitLinks(const LineCount& node, std::size_t position)
    {
        const ParentLink& link = scope_.lineLink();
        std::vector<bool> seen(link.columns.size(), false);
        for (const auto& written : node.links) {
            const ResolvedColumn left = resolve(written.left, true);
            const ResolvedColumn right = resolve(written.right, true);
            const bool headFirst = left.table == &scope_.head() && right.table == scope_.lines();
            const bool joinsTables = headFirst || (right.table == &scope_.head() && left.table == scope_.lines());
            const std::size_t k = !joinsTables ? link.columns.size()
                                  : headFirst  ? linkIndex(link, left.column->name, right.column->name)
                                               : linkIndex(link, right.column->name, left.column->name);
            if (k == link.columns.size())
                refuse(written.left.position, "(" + written.left.shown() + "=" + written.right.shown() +
                                                  ") is not a link of " + scope_.lines()->name + " to " +
                                                  scope_.head().name);
            if (seen[k])
                refuse(written.left.position,
                       "the link " + link.parentColumns[k] + "=" + link.columns[k] + " is given twice");
            seen[k] = true;
        }
        for (std::size_t k = 0; k < link.columns.size(); ++k) {
            if (!seen[k])
                refuse(position, "the line count lacks the link (" + scope_.head().name + "." + link.parentColumns[k] +
                                     "=" + scope_.lines()->name + "." + link.columns[k] + ")");
            sql_ += k > 0 ? " AND " : "";
            sql_ +=
                scope_.lines()->name + "." + link.columns[k] + " = " + scope_.head().name + "." + link.parentColumns[k];
        }
    }

    static std::size_t linkIndex(const ParentLink& link, std::string_view headColumn, std::string_view lineColumn)
    {
        for (std::size_t k = 0; k < link.columns.size(); ++k) {
            if (link.parentColumns[k] == headColumn && link.columns[k] == lineColumn)
                return k;
        }
        return link.columns.size();
    }

    ResolvedColumn resolve(const ColumnName& name, bool insideLines) const
    {
        return scope_.resolve(name, insideLines, QueryText::Condition);
    }

    static std::string columnSql(const ResolvedColumn& column)
    {
        return column.table->name + "." + column.column->name;
    }

    static Variant number(const Literal& value, const ResolvedColumn& column)
    {
        if (const auto integer = text::tryParseInteger(value.text))
            return Variant(*integer);
        if (const auto real = text::tryParseFloat(value.text); real && std::isfinite(*real))
            return Variant(*real);
        refuse(value.position, "'" + value.text + "' is not a number, and " + column.table->name + "." +
                                   column.column->name + " holds numbers");
    }

    void addParam(Variant value, std::size_t position)
    {
        if (params_.size() >= limits_.maxParameters)
            refuse(position, "the condition holds more than " + std::to_string(limits_.maxParameters) + " values");
        params_.push_back(std::move(value));
    }

    const QueryScope& scope_;
    const SqlDialect& dialect_;
    const QueryLimits& limits_;
    std::string sql_;
    std::vector<Variant> params_;
};

ConditionBinder::ConditionBinder(const QueryScope& scope, const SqlDialect& dialect, const QueryLimits& limits)
    : scope_(scope), dialect_(dialect), limits_(limits)
{}

BoundCondition ConditionBinder::bind(const Condition* condition) const
{
    if (!condition)
        return {};
    return Emitter(scope_, dialect_, limits_).finish(*condition);
}

} // namespace orvane
