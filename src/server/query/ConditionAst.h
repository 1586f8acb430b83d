#pragma once
// The parsed form of a client's query condition. It holds names and values exactly as
// the client wrote them; ConditionBinder checks the names against the schema and turns
// the values into bound parameters.

#include <cstddef>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace orvane {

// A column as written: "TC001", "COPTC.TC001" or "A.TC001".
struct ColumnName {
    std::string qualifier; // empty when the column stands alone
    std::string name;
    std::size_t position = 0; // in the client text, from 1

    // "COPTC.TC001" or "TC001", for error texts.
    std::string shown() const { return qualifier.empty() ? name : qualifier + "." + name; }
};

enum class CompareOp { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

// A value: quoted text, a bare number, or after like a bare pattern such as 100%.
struct Literal {
    std::string text; // without quotes, doubled quotes undone
    std::size_t position = 0;
};

struct Condition;
using ConditionPtr = std::unique_ptr<Condition>;

enum class Logic { And, Or };

// Terms joined by one logic; a chain of ANDs (or ORs) is one junction.
struct Junction {
    Logic logic = Logic::And;
    std::vector<ConditionPtr> terms;
};

struct Negation {
    ConditionPtr term;
};

// column op value.
struct Comparison {
    ColumnName column;
    CompareOp op = CompareOp::Equal;
    Literal value;
};

// column [not] like pattern.
struct Match {
    ColumnName column;
    bool negated = false;
    Literal pattern;
};

// column is [not] null.
struct NullTest {
    ColumnName column;
    bool negated = false;
};

// A comparison of two numbers ("1=2", "1=1"), decided while parsing.
struct Constant {
    bool value = false;
};

// One (HEAD.K=LINES.L) link of the line sub-query, sides in the order written.
struct LineLink {
    ColumnName left;
    ColumnName right;
};

// ( select count(*) FROM [DB..]LINES ALIAS where links [and filters]) > 0
struct LineCount {
    std::string database; // the DB.. prefix, empty when absent
    ColumnName table;     // the line table as written (name and position)
    std::string alias;    // the name the sub-query gives the line table
    std::vector<LineLink> links;
    std::vector<ConditionPtr> filters; // conditions on the lines, joined by AND
};

struct Condition {
    std::variant<Junction, Negation, Comparison, Match, NullTest, Constant, LineCount> node;
    std::size_t position = 0; // where the condition starts in the client text
};

} // namespace orvane
