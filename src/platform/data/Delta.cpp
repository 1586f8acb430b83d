#include "platform/data/Delta.h"

#include "platform/data/DataSetError.h"
#include "platform/data/PacketShape.h"

namespace orvane {

namespace {

int countChanges(const std::vector<DeltaRecord>& records)
{
    int count = 0;
    for (const DeltaRecord& record : records) {
        count += record.kind != UpdateStatus::Unmodified ? 1 : 0;
        for (const auto& nested : record.nested) {
            count += countChanges(nested);
        }
    }
    return count;
}

Variant encodeRecords(const std::vector<DeltaRecord>& records)
{
    std::vector<Variant> encoded;
    encoded.reserve(records.size());
    for (const DeltaRecord& record : records) {
        std::vector<Variant> nested;
        nested.reserve(record.nested.size());
        for (const auto& level : record.nested) {
            nested.push_back(encodeRecords(level));
        }
        encoded.push_back(arrayOfMoved(Variant(static_cast<long long>(record.recordId)),
                                       Variant(static_cast<int>(record.kind)), Variant::arrayOf(record.original),
                                       Variant::arrayOf(record.current), Variant::arrayOf(std::move(nested))));
    }
    return Variant::arrayOf(std::move(encoded));
}

std::vector<Variant> decodeValues(const Variant& value, std::size_t fieldCount, bool required, const std::string& what)
{
    const auto values = packet::elementsOf(value, what);
    if (values.size() != fieldCount && !(values.empty() && !required)) {
        throw PacketError(what + ": expected " + std::to_string(fieldCount) + " values, found " +
                          std::to_string(values.size()));
    }
    return {values.begin(), values.end()};
}

std::vector<DeltaRecord> decodeRecords(const Variant& value, const std::vector<FieldDef>& fields,
                                       const std::string& what)
{
    const std::size_t nestedCount = packet::nestedFieldCount(fields);
    const auto elements = packet::elementsOf(value, what);
    std::vector<DeltaRecord> records;
    records.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::string at = what + " record " + std::to_string(i + 1);
        const auto parts = packet::elementsOf(elements[i], at, 5);
        DeltaRecord record;
        record.recordId = static_cast<std::uint64_t>(packet::integerOf(parts[0], at + " id"));
        record.kind = packet::updateKindOf(parts[1], at + " kind");
        const bool inserted = record.kind == UpdateStatus::Inserted;
        record.original = decodeValues(parts[2], fields.size(), !inserted, at + " original values");
        record.current = decodeValues(parts[3], fields.size(), inserted || record.kind == UpdateStatus::Modified,
                                      at + " changed values");
        const auto nested = packet::elementsOf(parts[4], at + " nested records");
        if (nested.size() != nestedCount) {
            throw PacketError(at + ": expected " + std::to_string(nestedCount) + " nested record lists, found " +
                              std::to_string(nested.size()));
        }
        std::size_t ordinal = 0;
        for (const FieldDef& def : fields) {
            if (def.isNested()) {
                record.nested.push_back(decodeRecords(nested[ordinal], def.nested, at + " " + def.name));
                ++ordinal;
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace

int Delta::changeCount() const
{
    return countChanges(records);
}

Variant Delta::toVariant() const
{
    return arrayOfMoved(packet::encodeFields(fields), encodeRecords(records));
}

Delta Delta::fromVariant(const Variant& value)
{
    const auto parts = packet::elementsOf(value, "Delta", 2);
    Delta result;
    result.fields = packet::decodeFields(parts[0], "Delta");
    result.records = decodeRecords(parts[1], result.fields, "Delta");
    return result;
}

} // namespace orvane
