#include "framework/SaveRequest.h"

#include "framework/PackedVariant.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>

namespace orvane {
namespace {

// The record's content whatever its identity: its kind, values and nested records.
Variant contentOf(const DeltaRecord& record)
{
    std::vector<Variant> levels;
    for (const std::vector<DeltaRecord>& nested : record.nested) {
        std::vector<Variant> records;
        for (const DeltaRecord& child : nested)
            records.push_back(contentOf(child));
        levels.push_back(Variant::arrayOf(std::move(records)));
    }
    return Variant::arrayOf({Variant(static_cast<int>(record.kind)), Variant::arrayOf(record.original),
                             Variant::arrayOf(record.current), Variant::arrayOf(std::move(levels))});
}

// Clears the records' identities and orders each level's records by their content: a restored
// draft appends lines in the order shown, which need not be the order the change log had them in
// (a line inserted above another, sub-lines kept in their index's order).
void canonical(std::vector<DeltaRecord>& records)
{
    std::vector<std::pair<std::string, DeltaRecord>> keyed;
    keyed.reserve(records.size());
    for (DeltaRecord& record : records) {
        record.recordId = 0;
        for (std::vector<DeltaRecord>& nested : record.nested)
            canonical(nested);
        std::string key = packVariant(contentOf(record));
        keyed.emplace_back(std::move(key), std::move(record));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i] = std::move(keyed[i].second);
}

// The changes as bytes that compare equal for the same changes of other record identities, in
// whatever order the change log holds them.
std::string packedChanges(Delta changes)
{
    canonical(changes.records);
    return packVariant(changes.toVariant());
}

} // namespace

std::string newRequestId()
{
    std::random_device source;
    std::array<std::uint8_t, 16> bytes{};
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(source());
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80); // the RFC 4122 variant
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

const std::string& SaveRequest::idFor(const Delta& changes)
{
    std::string packed = packedChanges(changes);
    if (id_.empty() || packed != changes_)
        id_ = newRequestId();
    changes_ = std::move(packed);
    if (onPending)
        onPending();
    return id_;
}

void SaveRequest::answered()
{
    id_.clear();
    changes_.clear();
}

void SaveRequest::restore(std::string id, std::string changes)
{
    id_ = std::move(id);
    changes_ = std::move(changes);
}

} // namespace orvane
