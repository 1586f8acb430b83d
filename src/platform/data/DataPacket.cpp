#include "platform/data/DataPacket.h"

#include "platform/data/DataSetError.h"
#include "platform/data/PacketShape.h"

namespace orvane {

namespace {

Variant encodeRows(const std::vector<PacketRow>& rows);

Variant encodeRow(const PacketRow& row)
{
    std::vector<Variant> nested;
    nested.reserve(row.nested.size());
    for (const auto& rows : row.nested) {
        nested.push_back(encodeRows(rows));
    }
    return Variant::arrayOf({Variant::arrayOf(row.values), Variant::arrayOf(std::move(nested))});
}

Variant encodeRows(const std::vector<PacketRow>& rows)
{
    std::vector<Variant> encoded;
    encoded.reserve(rows.size());
    for (const PacketRow& row : rows) {
        encoded.push_back(encodeRow(row));
    }
    return Variant::arrayOf(std::move(encoded));
}

std::vector<PacketRow> decodeRows(const Variant& value, const std::vector<FieldDef>& fields, const std::string& what)
{
    const std::size_t nestedCount = packet::nestedFieldCount(fields);
    const auto elements = packet::elementsOf(value, what);
    std::vector<PacketRow> rows;
    rows.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::string at = what + " row " + std::to_string(i + 1);
        const auto parts = packet::elementsOf(elements[i], at, 2);
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
        row.values.assign(values.begin(), values.end());
        std::size_t ordinal = 0;
        for (const FieldDef& def : fields) {
            if (def.isNested()) {
                row.nested.push_back(decodeRows(nested[ordinal], def.nested, at + " " + def.name));
                ++ordinal;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

Variant DataPacket::toVariant() const
{
    return Variant::arrayOf({packet::encodeFields(fields), encodeRows(rows), Variant(endOfData)});
}

DataPacket DataPacket::fromVariant(const Variant& value)
{
    const auto parts = packet::elementsOf(value, "Data packet", 3);
    DataPacket result;
    result.fields = packet::decodeFields(parts[0], "Data packet");
    result.rows = decodeRows(parts[1], result.fields, "Data packet");
    result.endOfData = packet::booleanOf(parts[2], "Data packet end-of-data flag");
    return result;
}

} // namespace orvane
