#pragma once
// A data packet: what a provider sends when a client dataset opens or fetches more
// records. Field metadata, then rows of values with the rows of their nested datasets
// inside, and whether the provider has no more rows. Encodes losslessly to and from a
// Variant (arrays of arrays), so the same packet travels in-process or over the wire:
//
//   packet = [fields, rows, endOfData]
//   field  = [name, type name, size, required, nested fields]
//   row    = [values (one per field; Unassigned for DataSet fields),
//             nested (one array of rows per DataSet field, in field order)]

#include "platform/data/FieldDef.h"
#include "platform/variant/Variant.h"

#include <vector>

namespace orvane {

struct PacketRow {
    std::vector<Variant> values;
    std::vector<std::vector<PacketRow>> nested; // per DataSet field, in field order
};

struct DataPacket {
    std::vector<FieldDef> fields;
    std::vector<PacketRow> rows;
    bool endOfData = true;

    Variant toVariant() const&;
    // Moves the rows into the variant.
    Variant toVariant() &&;
    // Raises PacketError naming the faulty element for anything but a well-formed packet.
    // The rows' values are moved out of `value`.
    static DataPacket fromVariant(Variant value);
};

} // namespace orvane
