#pragma once
// The answer of a lookup list: a page of rows from the server's lookup service ("GetF2Data"),
// or the row the user chose from the shell's lookup-window service ("F2GetData").
//
// It crosses the automation boundary as a variant array [column specification, rows, more rows,
// take a single match], the rows an array of arrays, and, when the service names the fields,
// a fifth element with one field name per column. Client and server threads alike: a plain
// value.

#include "platform/variant/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// One entry of a column specification "label$kind;label$kind;...": an empty label hides the
// column; the kind ("D", "Y", "YM", "%", "L", "C", ...) says how its cells show.
struct ColumnEntry {
    std::string label;
    std::string kind;
};

// The entries in column order; an entry without "$" is all label, and a final ";" adds none.
std::vector<ColumnEntry> columnEntries(std::string_view specification);

struct LookupAnswer {
    std::string columns;                    // 0: column specification "label$kind;..."
    std::vector<std::vector<Variant>> rows; // 1: the rows, each the columns in order
    bool moreRows = false;                  // 2: more rows follow this page
    bool takeSingleMatch = false;           // 3: the list's keys match at most one row, which is
                                            //    taken without showing the list
    std::vector<std::string> fieldNames;    // 4: one per column ("TC001", "LINKS"); may be absent

    Variant toVariant() const;
    // Raises LookupShapeError naming the element or row that does not fit.
    static LookupAnswer fromVariant(const Variant& answer);

    bool operator==(const LookupAnswer&) const = default;
};

} // namespace orvane
