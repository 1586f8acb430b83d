#include "platform/data/PacketLoader.h"

#include "platform/data/DataSetError.h"

namespace orvane {

PacketLoader::PacketLoader(const RecordSchema& schema, const std::vector<FieldDef>& packetFields)
{
    std::size_t packetOrdinal = 0;
    for (const FieldDef& def : packetFields) {
        const int field = schema.indexOf(def.name);
        Column column{field, -1, -1};
        if (field >= 0 && schema.fields()[static_cast<std::size_t>(field)].isNested() != def.isNested()) {
            throw PacketError("Data packet: field '" + def.name + "' is " + (def.isNested() ? "" : "not ") +
                              "a nested dataset, unlike the dataset's field of that name");
        }
        if (field >= 0 && def.isNested()) {
            const int ordinal = schema.layout().nestedOrdinal(field);
            column.nested = static_cast<int>(nested_.size());
            column.ordinal = ordinal;
            nested_.emplace_back(*schema.nested(ordinal), def.nested);
            packetNestedOrdinal_.push_back(packetOrdinal);
        }
        if (def.isNested()) {
            ++packetOrdinal;
        }
        columns_.push_back(column);
    }
}

void PacketLoader::load(RecordSet& set, std::span<const PacketRow> rows) const
{
    const RecordLayout& layout = set.schema().layout();
    for (const PacketRow& row : rows) {
        auto record = set.newRecord();
        for (std::size_t i = 0; i < columns_.size() && i < row.values.size(); ++i) {
            const Column& column = columns_[i];
            if (column.field < 0 || column.nested >= 0) {
                continue;
            }
            try {
                layout.setValue(record->data.data(), column.field, row.values[i]);
            } catch (const ConversionError& error) {
                throw PacketError("Data packet: field '" +
                                  set.schema().fields()[static_cast<std::size_t>(column.field)].name +
                                  "': " + error.what());
            }
        }
        for (const Column& column : columns_) {
            if (column.nested < 0) {
                continue;
            }
            const std::size_t packetOrdinal = packetNestedOrdinal_[static_cast<std::size_t>(column.nested)];
            if (packetOrdinal < row.nested.size()) {
                nested_[static_cast<std::size_t>(column.nested)].load(
                    *record->nested[static_cast<std::size_t>(column.ordinal)], row.nested[packetOrdinal]);
            }
        }
        set.load(std::move(record));
    }
}

} // namespace orvane
