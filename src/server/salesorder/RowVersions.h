#pragma once
// The ROW_VERSION of each order record as a session last had it: read in a packet, handed
// back with a conflict, or written by the session's own save. FLAG, which the client sends
// back, cycles 1..999 and 0, so FLAG alone takes a record changed exactly 1000 times since
// the client read it for an unchanged one; the hidden version, which never wraps, tells
// them apart: a record whose FLAG matches but whose version moved on by a whole cycle or
// more since the session had it was changed by someone else.
//
// At most maxRemembered records are kept; past that the memory starts afresh and FLAG
// alone decides for the records forgotten. Not thread-safe: its provider locks it.

#include "platform/variant/Variant.h"
#include "server/salesorder/OrderLevels.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvane {

class RowVersions {
public:
    static constexpr std::size_t maxRemembered = 200'000;
    static constexpr std::int64_t flagCycle = 1000;

    void remember(const OrderLevel& level, const std::vector<Variant>& key, std::int64_t version);
    // Whether the stored version is a whole FLAG cycle or more past the one the session had.
    bool wrappedSince(const OrderLevel& level, const std::vector<Variant>& key, std::int64_t stored) const;

private:
    static std::string keyOf(const OrderLevel& level, const std::vector<Variant>& key);

    std::unordered_map<std::string, std::int64_t> versions_;
};

// A record written by a save, with the version it has once the save commits.
struct WrittenVersion {
    const OrderLevel* level;
    std::vector<Variant> key;
    std::int64_t version;
};

} // namespace orvane
