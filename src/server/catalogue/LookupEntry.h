#pragma once
// One numbered lookup as data: the table and kind the client names, the keys it passes,
// the columns of the answer in the order the client reads them, and the SQL that yields
// them. Table names in the SQL are written "{COPMA}" and become the company database's
// table; every "?" takes a key of the caller's array, so no client text reaches the SQL.

#include "server/catalogue/EntrySql.h"

#include <cstddef>
#include <string>
#include <vector>

namespace orvane {

// How the client reads column 0 of a row.
enum class LookupShape {
    Data,   // data from column 0 (companion lists, program rows, query rows); found when a row exists
    Counted // column 0 is a count or status; found when it is above 0
};

// How a key is bound to its "?" marker.
enum class KeyForm {
    Text,    // the key as text
    Number,  // the key as a number (empty text counts as 0)
    Prefix,  // a LIKE pattern: the key without surrounding blanks, escaped, followed by "%"
    Contains // a LIKE pattern: "%", the key without surrounding blanks, escaped, "%"
};

struct KeyBind {
    std::size_t key = 0; // index in the caller's key array
    KeyForm form = KeyForm::Text;
};

struct LookupColumn {
    std::string sql;         // expression selected
    std::string meaning;     // what the caller does with it (documentation, F2 column label)
    std::string format = {}; // lookup-window column kind: "D", "Y", "YM", "%", "C", "L" or empty
    std::string name = {};   // the lookup window's field name; empty: the selected column's own name
};

struct LookupEntry {
    std::string table; // as the client names it ("COPMA")
    std::string kind;  // two-digit kind ("08")
    LookupShape shape = LookupShape::Data;
    std::string purpose;               // what the lookup answers, for the documentation
    std::vector<std::string> keys;     // the keys the caller passes, in order (their meaning)
    std::vector<LookupColumn> columns; // the answer, in the order the client reads it
    std::string from;                  // "FROM" clause onward: joins, WHERE, ORDER BY
    std::vector<KeyBind> binds;        // one per "?" of from, in order
    std::size_t requiredKeys = 0;      // keys that must be given; the rest of keys default to empty text
    bool takeSingleMatch = false;      // lists: the keys match at most one row, which the lookup window
                                       // takes without showing the list
    bool takeTypedCode = false;        // pick lists: the row whose code (column 0) is the typed text
                                       // (key 0) is taken without showing the list
    EntrySql builtSql = {};            // the SELECT texts built from the entry (LookupQuery::sql)

    // The entry as texts name it: COPMA "08".
    std::string label() const { return table + " \"" + kind + "\""; }
};

} // namespace orvane
