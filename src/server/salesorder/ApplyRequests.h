#pragma once
// Retry-safe saves: the answers of committed saves by the client's request identifier
// (table APPLY_REQUEST of the company database, keyed by user and identifier). A save that
// carries an identifier claims it inside its own transaction, so the answer is kept exactly
// when the save commits; a client whose answer was lost sends the save again with the same
// identifier and receives the first answer instead of a second order. Two saves with one
// identifier at once: the second waits for the first's claim (PostgreSQL's unique key, SQLite's
// writing transaction) and, once the first commits, finds its answer. Answers are kept for the
// configured time and then forgotten.
//
// Stateless apart from its settings; any thread, each call on the caller's connection.

#include "platform/data/ApplyResult.h"
#include "server/db/Database.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

// What a committed save answered: its result and the number it gave a new order ("" none).
struct KeptAnswer {
    ApplyResult result;
    std::string number;
};

class ApplyRequests {
public:
    // Identifiers longer than this are refused (the column's size).
    static constexpr std::size_t maxIdLength = 64;
    static constexpr std::chrono::minutes defaultKeep{24 * 60};

    ApplyRequests(std::string companyDb, std::string userId, std::chrono::seconds keep);

    // Raises PacketError for an identifier that is too long or not printable ASCII.
    static void checkId(const std::string& id);
    // The answer of a save with this identifier that committed within the keep time.
    std::optional<KeptAnswer> find(Database& db, const std::string& id) const;
    // Claims the identifier inside the caller's transaction; false when a save with it has
    // committed meanwhile (answer with find()).
    bool claim(Database& db, const std::string& id) const;
    // Keeps the answer of the claimed identifier, inside the same transaction.
    void keep(Database& db, const std::string& id, const KeptAnswer& answer) const;
    // Forgets the answers past the keep time (of every user of the company).
    void purge(Database& db) const;

private:
    std::int64_t cutoff() const;
    std::string table(Database& db) const;

    std::string companyDb_;
    std::string userId_;
    std::chrono::seconds keep_;
};

} // namespace orvane
