#pragma once
// Turns the rows of data packets into records of a dataset level: packet fields are
// matched to the dataset's fields by name (any case); fields the packet does not carry
// stay null; packet fields the dataset does not define are left out.

#include "platform/data/DataPacket.h"
#include "platform/data/RecordSchema.h"
#include "platform/data/RecordSet.h"

#include <span>
#include <vector>

namespace orvane {

class PacketLoader {
public:
    // Raises PacketError when a packet field and the dataset field of the same name
    // disagree on being a nested dataset.
    PacketLoader(const RecordSchema& schema, const std::vector<FieldDef>& packetFields);

    // Appends the rows to `set` as fetched (unmodified) records. Raises PacketError
    // naming the field and the value that does not convert.
    void load(RecordSet& set, std::span<const PacketRow> rows) const;

private:
    struct Column {
        int field;   // dataset field index, -1 when the dataset does not define it
        int nested;  // index into nested_ for a DataSet field, else -1
        int ordinal; // nested ordinal in the dataset's record, for a DataSet field
    };

    std::vector<Column> columns_;
    std::vector<PacketLoader> nested_;
    std::vector<std::size_t> packetNestedOrdinal_; // per entry of nested_
};

} // namespace orvane
