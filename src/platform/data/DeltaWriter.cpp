#include "platform/data/DeltaWriter.h"

#include <algorithm>

namespace orvane {

DeltaWriter::DeltaWriter(const RecordSchema& schema) : schema_(schema)
{
    for (int i = 0; i < schema.fieldCount(); ++i) {
        if (!schema.inPacket(i)) {
            continue;
        }
        const FieldDef& def = schema.fields()[static_cast<std::size_t>(i)];
        fields_.push_back(i);
        FieldDef deltaDef{def.name, def.type, def.size, def.required, {}, 0, true, false, {}};
        if (def.isNested()) {
            const int ordinal = schema.layout().nestedOrdinal(i);
            nested_.emplace_back(*schema.nested(ordinal));
            nestedOrdinals_.push_back(ordinal);
            deltaDef.nested = nested_.back().deltaFields_;
        }
        deltaFields_.push_back(std::move(deltaDef));
    }
}

Delta DeltaWriter::write(const RecordSet& set) const
{
    return Delta{deltaFields_, records(set)};
}

std::vector<DeltaRecord> DeltaWriter::records(const RecordSet& set) const
{
    std::vector<DeltaRecord> result;
    for (const Change& change : set.log().changes()) {
        if (auto record = std::visit(*this, change)) {
            result.push_back(std::move(*record));
        }
    }
    return result;
}

std::vector<Variant> DeltaWriter::values(const RecordBuffer& buffer) const
{
    std::vector<Variant> result;
    result.reserve(fields_.size());
    for (const int field : fields_) {
        result.push_back(schema_.layout().value(buffer.data(), field));
    }
    return result;
}

std::vector<std::vector<DeltaRecord>> DeltaWriter::nestedRecords(const Record& record) const
{
    std::vector<std::vector<DeltaRecord>> result;
    result.reserve(nested_.size());
    for (std::size_t i = 0; i < nested_.size(); ++i) {
        result.push_back(nested_[i].records(*record.nested[static_cast<std::size_t>(nestedOrdinals_[i])]));
    }
    return result;
}

std::optional<DeltaRecord> DeltaWriter::operator()(const RecordInserted& change) const
{
    const Record& record = *change.record;
    return DeltaRecord{record.id, UpdateStatus::Inserted, {}, values(record.data), nestedRecords(record)};
}

std::optional<DeltaRecord> DeltaWriter::operator()(const RecordModified& change) const
{
    const Record& record = *change.record;
    std::vector<Variant> current;
    current.reserve(fields_.size());
    const RecordLayout& layout = schema_.layout();
    for (const int field : fields_) {
        current.push_back(layout.equal(change.original.data(), record.data.data(), field)
                              ? Variant()
                              : layout.value(record.data.data(), field));
    }
    return DeltaRecord{record.id, UpdateStatus::Modified, values(change.original), std::move(current),
                       nestedRecords(record)};
}

std::optional<DeltaRecord> DeltaWriter::operator()(const RecordDeleted& change) const
{
    std::vector<std::vector<DeltaRecord>> nested(nested_.size());
    return DeltaRecord{change.record->id, UpdateStatus::Deleted, values(change.original), {}, std::move(nested)};
}

std::optional<DeltaRecord> DeltaWriter::operator()(const NestedChanged& change) const
{
    const Record& record = *change.record;
    auto nested = nestedRecords(record);
    const bool any = std::any_of(nested.begin(), nested.end(), [](const auto& level) { return !level.empty(); });
    if (!any) {
        return std::nullopt;
    }
    return DeltaRecord{record.id, UpdateStatus::Unmodified, values(record.data), {}, std::move(nested)};
}

} // namespace orvane
