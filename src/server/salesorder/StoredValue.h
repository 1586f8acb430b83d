#pragma once
// Values between the database, the packets and the deltas of the order provider: how a
// database value travels in a packet field, and whether a client's value fits a stored
// column. Column sizes count characters of UTF-8 text, checked here so that SQLite (which
// would store anything) and PostgreSQL (which would fail the statement) refuse the same
// values with the same message.
//
// Stateless; any thread.

#include "platform/data/FieldDef.h"
#include "platform/variant/Variant.h"
#include "server/schema/TableDef.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// A database value as a packet field of that type carries it (Null stays Null).
Variant packetValue(const Variant& value, FieldType type);

// A client's value made ready for a stored column, or why it cannot be stored.
struct StoredFit {
    Variant value;       // what to bind; valid when problem is empty
    std::string problem; // "Field TC004: ..." naming the field and the value
};

// Null and Unassigned become the column's "no value" (empty text or 0), as every stored
// row keeps them.
StoredFit fitColumn(const ColumnDef& column, const Variant& value);

// Characters of UTF-8 text; nothing when the bytes are not valid UTF-8.
std::optional<std::size_t> utf8Length(std::string_view text);

} // namespace orvane
