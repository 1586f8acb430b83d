#pragma once
// A run of reads under one read transaction, where the backend would otherwise begin and end one
// for each statement (SQLite takes and drops its read lock, file locks included, per statement);
// the reads then also see one state of the data. On other backends, and inside an open
// transaction, it does nothing. Nothing may be written while it is open.
//
//   ReadSnapshot reads(db);
//   db.query(...); db.query(...);
//
// Threads: as its connection (one thread at a time).

#include "server/db/Database.h"

namespace orvane {

class ReadSnapshot {
public:
    explicit ReadSnapshot(Database& db);
    // Ends the read transaction. A connection that cannot end it stays inside it, and its pool
    // then discards it (Database::usable).
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    Database& db_;
    bool open_ = false;
};

} // namespace orvane
