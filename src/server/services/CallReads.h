#pragma once
// What one call reads, through the answers the server keeps of the reference tables
// (ReferenceReads). A statement that reads kept tables only is answered from them at the
// company's count of writes to those tables, read once per call, or trusted without reading it
// where the backend tells of writes (Database::hearsWrites); a statement that reads anything else,
// and every statement inside a transaction, is read from the database. Statements name their
// company tables {TABLE}, or "company".TABLE as the catalogue's built texts do.
//
// Threads: as the connection (one call).

#include "server/db/Database.h"
#include "server/db/KeptReads.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class CallReads {
public:
    // reads: the call's kept reads, which also hold the call's count; null keeps the count here.
    CallReads(Database& db, std::string companyDb, KeptReads* reads);

    // The statement's answer, from the shared answers when it may take one.
    SharedResult read(std::string_view sql, std::span<const Variant> params);
    // Reads the statements together, in one round trip where the backend sends reads so, and keeps
    // their answers in the call's reads; what those or the shared answers hold is left out. A read
    // that fails here is left to read(), which meets the failure in its place. Needs the call's reads.
    void readAhead(std::vector<ReusedRun> reads);

private:
    // The shared answers when the statement may take one from them; null otherwise.
    ReferenceReads* sharedFor(std::string_view sql) const;
    // The company's count of writes to the kept tables, once per call; -1 when it keeps none.
    std::int64_t writeCount();
    // The count without reading it, where the backend tells of writes and none came since it was read.
    std::optional<std::int64_t> trustedCount();
    // The count a read answered, trusted from now on unless a write was heard of since heardBefore.
    std::int64_t countOf(const QueryResult& read, std::uint64_t heardBefore);
    std::optional<std::int64_t>& count() { return reads_ != nullptr ? reads_->writeCount : ownCount_; }

    Database& db_;
    std::string companyDb_;
    KeptReads* reads_;
    std::optional<std::int64_t> ownCount_;
};

} // namespace orvane
