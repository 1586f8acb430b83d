#include "framework/SaveRequest.h"

#include "framework/PackedVariant.h"

#include <array>
#include <cstdint>
#include <random>

namespace orvane {
namespace {

void clearIdentities(std::vector<DeltaRecord>& records)
{
    for (DeltaRecord& record : records) {
        record.recordId = 0;
        for (std::vector<DeltaRecord>& nested : record.nested)
            clearIdentities(nested);
    }
}

// The changes as bytes that compare equal for the same changes of other record identities.
std::string packedChanges(Delta changes)
{
    clearIdentities(changes.records);
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
