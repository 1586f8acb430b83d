#pragma once
// Reads stored orders as packet rows: heads by key, each with its lines and their
// sub-lines nested, companions joined. A packet costs one statement per level for all
// of its heads (in chunks of keys), never one per head.
//
// Threads: as its connection (one thread at a time).

#include "platform/data/DataPacket.h"
#include "server/db/Database.h"
#include "server/salesorder/OrderLevels.h"
#include "server/salesorder/RowVersions.h"

#include <optional>
#include <string>
#include <vector>

namespace orvane {

class OrderReader {
public:
    // Remembers the ROW_VERSION of every record read in `versions`, when given.
    OrderReader(Database& db, std::string companyDb, RowVersions* versions = nullptr);

    // The heads with the given keys (TC001, TC002), in the order of keys, each with its
    // lines and sub-lines; a key that is no longer stored is skipped.
    std::vector<PacketRow> heads(const std::vector<std::vector<Variant>>& keys);
    // The stored record of a level with the given full key, without its nested rows.
    std::optional<PacketRow> record(const OrderLevel& level, const std::vector<Variant>& key);

private:
    // Rows of level whose first `columns` key columns equal one of the tuples, in key order.
    std::vector<PacketRow> rowsOf(const OrderLevel& level, std::size_t columns,
                                  const std::vector<std::vector<Variant>>& tuples);
    void readChunk(const OrderLevel& level, std::size_t columns, const std::vector<std::vector<Variant>>& tuples,
                   std::size_t first, std::size_t count, std::vector<PacketRow>& rows);

    Database& db_;
    std::string companyDb_;
    RowVersions* versions_;
};

// The text that identifies a tuple of key values (for grouping and lookups).
std::string keyText(const std::vector<Variant>& values, std::size_t count);

} // namespace orvane
