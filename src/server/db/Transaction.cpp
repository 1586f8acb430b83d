#include "server/db/Transaction.h"

#include "server/db/DbError.h"

#include <chrono>
#include <thread>

namespace orvane {

namespace {

std::string savepointName(int level)
{
    return "orvane_sp" + std::to_string(level);
}

} // namespace

Transaction::Transaction(Database& db) : db_(db), level_(db.depth_ + 1)
{
    if (level_ == 1)
        db_.executeScript(db_.dialect().beginTransaction());
    else
        db_.executeScript("SAVEPOINT " + savepointName(level_));
    db_.depth_ = level_;
}

Transaction::~Transaction()
{
    if (!open_)
        return;
    try {
        finish(false);
    } catch (const DbError&) {
        // A rollback that fails leaves nothing to save: the connection is broken and the
        // database discards the open transaction with it.
    }
}

void Transaction::commit()
{
    commitAfter({});
}

void Transaction::commitAfter(std::span<const ReusedRun> runs)
{
    if (!open_)
        throw DbError(DbErrorKind::General, "The transaction was already finished");
    try {
        finish(true, runs);
    } catch (const DbError&) {
        if (open_) {
            try {
                finish(false);
            } catch (const DbError&) {
                // The commit error below is the one worth reporting.
            }
        }
        throw;
    }
}

void Transaction::rollback()
{
    if (open_)
        finish(false);
}

void Transaction::finish(bool commit, std::span<const ReusedRun> runs)
{
    if (db_.depth_ != level_)
        throw DbError(DbErrorKind::General, "Transactions finished out of order (depth " + std::to_string(db_.depth_) +
                                                ", guard " + std::to_string(level_) + ")");
    if (commit) {
        // A refused commit keeps the guard open so that commit() can roll back.
        db_.runThenFinish(runs, level_ == 1 ? "COMMIT" : "RELEASE SAVEPOINT " + savepointName(level_));
        open_ = false;
        db_.depth_ = level_ - 1;
        return;
    }
    // A rollback finishes the guard even when it fails: the connection is then broken.
    open_ = false;
    db_.depth_ = level_ - 1;
    if (level_ == 1)
        db_.executeScript("ROLLBACK");
    else
        db_.executeScript("ROLLBACK TO SAVEPOINT " + savepointName(level_) + "; RELEASE SAVEPOINT " +
                          savepointName(level_));
}

void inTransaction(Database& db, const std::function<void()>& work, int attempts)
{
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction tx(db);
            work();
            tx.commit();
            return;
        } catch (const DbError& e) {
            if (!e.transient() || attempt >= attempts || db.transactionDepth() > 0)
                throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * attempt));
    }
}

} // namespace orvane
