#pragma once
// A delta: the change log of a client dataset as sent to a provider. Per changed record
// its update kind, the original values (for the server's concurrency check), the changed
// values and the deltas of its nested datasets. A record changed only in its details
// comes as Unmodified with nested changes. Only fields the provider's packets carry are
// sent. Encodes losslessly to and from a Variant:
//
//   delta  = [fields, records]
//   record = [record id, kind (0 unmodified, 1 modified, 2 inserted, 3 deleted),
//             original values (empty for an insert), changed values (modified: Unassigned
//             for an unchanged field; inserted: all; others: empty),
//             nested (one array of records per DataSet field, in field order)]

#include "platform/data/FieldDef.h"
#include "platform/data/Record.h"
#include "platform/variant/Variant.h"

#include <cstdint>
#include <vector>

namespace orvane {

struct DeltaRecord {
    std::uint64_t recordId = 0; // the client's record, echoed back in apply errors
    UpdateStatus kind = UpdateStatus::Unmodified;
    std::vector<Variant> original;
    std::vector<Variant> current;
    std::vector<std::vector<DeltaRecord>> nested; // per DataSet field, in field order
};

struct Delta {
    std::vector<FieldDef> fields;
    std::vector<DeltaRecord> records;

    bool empty() const { return records.empty(); }
    // Number of records with a change of their own, nested levels included.
    int changeCount() const;

    Variant toVariant() const;
    // Raises PacketError naming the faulty element for anything but a well-formed delta.
    static Delta fromVariant(const Variant& value);
};

} // namespace orvane
