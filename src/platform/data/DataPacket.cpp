#include "platform/data/DataPacket.h"

#include "platform/data/DataSetError.h"
#include "platform/data/PacketShape.h"

namespace orvane {

namespace {

// Rows are moved into the variant and out of it: a packet of documents carries a thousand lines
// and more, and a copy of each value on either side cost as much as reading them.
Variant encodeRows(std::vector<PacketRow>& rows);

Variant encodeRow(PacketRow& row)
{
    std::vector<Variant> nested;
    nested.reserve(row.nested.size());
    for (auto& rows : row.nested) {
        nested.push_back(encodeRows(rows));
    }
    return arrayOfMoved(Variant::arrayOf(std::move(row.values)), Variant::arrayOf(std::move(nested)));
}

Variant encodeRows(std::vector<PacketRow>& rows)
{
    std::vector<Variant> encoded;
    encoded.reserve(rows.size());
    for (PacketRow& row : rows) {
        encoded.push_back(encodeRow(row));
    }
    return Variant::arrayOf(std::move(encoded));
}

std::vector<PacketRow> decodeRows(Variant& value, const std::vector<FieldDef>& fields, const std::string& what)
{
    const std::size_t nestedCount = packet::nestedFieldCount(fields);
    packet::elementsOf(value, what);
    const std::span<Variant> elements = value.array().elements();
    std::vector<PacketRow> rows;
    rows.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::string at = what + " row " + std::to_string(i + 1);
        packet::elementsOf(elements[i], at, 2);
        const std::span<Variant> parts = elements[i].array().elements();
        const auto values = packet::elementsOf(parts[0], at + " values");
        if (values.size() != fields.size()) {
            throw PacketError(at + ": expected " + std::to_string(fields.size()) + " values, found " +
                              std::to_string(values.size()));
        }
        const auto nested = packet::elementsOf(parts[1], at + " nested rows");
        if (nested.size() != nestedCount) {
            throw PacketError(at + ": expected " + std::to_string(nestedCount) + " nested row lists, found " +
                              std::to_string(nested.size()));
        }
        PacketRow row;
        row.values = parts[0].array().takeElements();
        std::size_t ordinal = 0;
        for (const FieldDef& def : fields) {
            if (def.isNested()) {
                row.nested.push_back(decodeRows(parts[1].array().elements()[ordinal], def.nested, at + " " + def.name));
                ++ordinal;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

Variant DataPacket::toVariant() const&
{
    return DataPacket(*this).toVariant();
}

Variant DataPacket::toVariant() &&
{
    return arrayOfMoved(packet::encodeFields(fields), encodeRows(rows), Variant(endOfData));
}

DataPacket DataPacket::fromVariant(Variant value)
{
    packet::elementsOf(value, "Data packet", 3);
    const std::span<Variant> parts = value.array().elements();
    DataPacket result;
    result.fields = packet::decodeFields(parts[0], "Data packet");
    result.rows = decodeRows(parts[1], result.fields, "Data packet");
    result.endOfData = packet::booleanOf(parts[2], "Data packet end-of-data flag");
    return result;
}

} // namespace orvane
