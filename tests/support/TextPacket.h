#pragma once
// A packet of text columns written out as rows, such as the data dictionary's files hold.

#include "platform/data/DataPacket.h"

#include <string>
#include <vector>

namespace orvane::test {

// The columns of a component file of the dictionary (DDOBJ): language, object, component, index,
// property, value.
inline const std::vector<std::string> objectColumns{"MO001", "MO002", "MO003", "MO004", "MO005", "MO006"};

// Columns of 60 bytes; a nullptr cell is a null value.
inline DataPacket textPacket(const std::vector<std::string>& columns, const std::vector<std::vector<const char*>>& rows)
{
    DataPacket packet;
    for (const std::string& column : columns)
        packet.fields.push_back(FieldDef::string(column, 60));
    for (const auto& cells : rows) {
        PacketRow row;
        for (const char* cell : cells)
            row.values.push_back(cell == nullptr ? Variant(Variant::NullTag{}) : Variant(cell));
        packet.rows.push_back(std::move(row));
    }
    return packet;
}

} // namespace orvane::test
