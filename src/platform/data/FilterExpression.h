#pragma once
// The filter texts of datasets: comparisons of fields and values joined with and/or/not
// and parentheses, as in  TC001='2201' and (TD008 > 0 or UPPER(MN002) = 'ABC').
//
//   expression  := term { OR term }
//   term        := factor { AND factor }
//   factor      := NOT factor | '(' expression ')' | comparison
//   comparison  := operand ( op operand | [NOT] LIKE operand | IS [NOT] NULL )
//   op          := = | <> | != | < | > | <= | >=
//   operand     := field | 'text' | number | NULL | UPPER(operand) | LOWER(operand) | TRIM(operand)
//
// A field may be written with a table prefix (COPTC.TC001). On the right of a comparison a
// bare word that names no field is text (TM004=ABC). Numbers compare as numbers when both
// sides are numeric; everything else compares as byte strings. Null equals only null.
// LIKE takes % and _ wildcards. Keywords and function names are case-insensitive.

#include "platform/variant/Variant.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace orvane {

// The row a filter is evaluated against: values by field index.
class FilterRow {
public:
    virtual ~FilterRow() = default;
    virtual Variant value(int field) const = 0;
};

class FilterExpression {
public:
    struct Node;
    // Field index of a name, or -1 when there is no such field.
    using FieldResolver = std::function<int(std::string_view name)>;

    FilterExpression() = default; // matches every row

    // Parses `text`; raises DataSetError naming the text, the position and the fault.
    // Empty or blank text gives the expression that matches every row.
    static FilterExpression parse(std::string_view text, const FieldResolver& resolve);

    bool matches(const FilterRow& row) const;
    bool matchesAll() const { return root_ == nullptr; }
    const std::string& text() const { return text_; }

private:
    std::shared_ptr<const Node> root_;
    std::string text_;
};

} // namespace orvane
