#pragma once
// A guarded transaction: rolls back unless committed, also when an exception leaves
// the scope. Nested guards on the same connection become savepoints, so an inner
// failure undoes only the inner work when the caller catches it.
//
//   Transaction tx(db);
//   db.execute(...);
//   tx.commit();
//
// Threads: as its connection (one thread at a time).

#include "server/db/Database.h"

#include <functional>

namespace orvane {

class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Makes the work permanent (or releases the savepoint); raises DbError when the
    // database refuses, in which case the work is rolled back.
    void commit();
    // Runs the statements, then commits as commit() does. The backend may send the statements
    // and the commit in one round trip, so locks taken before are held as briefly as possible.
    void commitAfter(std::span<const ReusedRun> runs);
    // Undoes the work now; the guard is then finished.
    void rollback();

private:
    void finish(bool commit, std::span<const ReusedRun> runs = {});

    Database& db_;
    int level_;        // depth of this guard: 1 = the transaction itself, more = a savepoint
    bool open_ = true; // neither committed nor rolled back yet
};

// Runs work in a transaction and commits it. When the outermost transaction fails
// with a transient error (busy, deadlock, serialization failure) the whole work is
// run again, up to attempts times; any other failure, and the last transient one,
// is raised. Inside an open transaction the work runs once, as a savepoint.
void inTransaction(Database& db, const std::function<void()>& work, int attempts = 5);

} // namespace orvane
