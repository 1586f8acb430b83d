#pragma once
// A connection to the server's database: the system database plus the company
// databases made addressable on it (a PostgreSQL schema, or an SQLite file attached
// under the company database's name).
//
// Threads: a connection (and every statement prepared on it) is used by one thread at
// a time. Give each thread or session its own connection, or borrow one from a
// ConnectionPool.

#include "server/db/QueryResult.h"
#include "server/db/ReferenceReads.h"
#include "server/db/SqlDialect.h"
#include "server/db/StatementCache.h"

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// A prepared statement. Parameters are bound by position to the "?" markers of its
// text; only scalar variants can be bound (Unassigned and Null bind SQL NULL,
// booleans bind 1 or 0). Values are never spliced into the text.
class Statement {
public:
    virtual ~Statement() = default;
    // Runs the statement with the given parameters; raises DbError on failure.
    virtual QueryResult run(std::span<const Variant> params) = 0;
    // The text as written by the caller, for error messages.
    virtual const std::string& sql() const = 0;
};

// A statement's text and its parameters, run later: a data-changing statement kept to run just
// before a commit (see Transaction::commitAfter), or one of several reads run together (queryAll).
struct ReusedRun {
    std::string sql;
    std::vector<Variant> params;
};

class Database {
public:
    virtual ~Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The backend's SQL differences.
    virtual const SqlDialect& dialect() const = 0;
    // Prepares a statement written with "?" markers; raises DbError on bad SQL.
    virtual std::unique_ptr<Statement> prepare(std::string_view sql) = 0;
    // Runs several statements without parameters (schema scripts).
    virtual void executeScript(std::string_view sql) = 0;
    // Makes a company database addressable on this connection, creating it when missing.
    // Not allowed inside a transaction.
    virtual void ensureCompany(const std::string& companyDb) = 0;
    // True when the company database exists (attached or attachable on SQLite).
    virtual bool hasCompany(const std::string& companyDb) = 0;
    // False once the connection is broken or has been left inside a transaction (even one
    // opened by hand); a pool then discards it.
    virtual bool usable() const = 0;
    // False when the connection is found broken without asking the server anything (the server
    // ended it while it lay idle, or restarted); a pool asks before it lends an idle connection.
    virtual bool alive() { return true; }

    // Runs one statement. Its text is prepared at its first run on this connection and kept
    // (see StatementCache), so a text run again is only bound and run.
    QueryResult query(std::string_view sql, std::span<const Variant> params = {});
    QueryResult query(std::string_view sql, std::initializer_list<Variant> params);
    // Runs a data-changing statement and answers the number of rows it touched.
    std::int64_t execute(std::string_view sql, std::span<const Variant> params = {});
    std::int64_t execute(std::string_view sql, std::initializer_list<Variant> params);
    // Runs reads that do not depend on one another and answers their results in order. A
    // backend that can send them in one round trip does so (readsTogether()); the others run
    // them one by one. Raises DbError at the first failure.
    virtual std::vector<QueryResult> queryAll(std::span<const ReusedRun> reads);
    // Whether queryAll sends its reads in one round trip: reading ahead of need pays only then.
    virtual bool readsTogether() const { return false; }
    // Most statements a connection keeps prepared for their next run.
    static constexpr std::size_t statementCacheLimit = 256;
    // Statements kept prepared on this connection.
    std::size_t cachedStatements() const { return statements_.size(); }

    // Open transactions and savepoints (0 outside any); kept by Transaction.
    int transactionDepth() const { return depth_; }

    // The answers of reference reads the connections of this database share; null for a
    // connection made on its own, which keeps none.
    ReferenceReads* referenceReads() const { return referenceReads_.get(); }
    // A connection that hears of writes joins distrusting the count: it was not listening when the
    // writes before it were told of, and another connection may hold those notices unread.
    void shareReferenceReads(std::shared_ptr<ReferenceReads> reads)
    {
        referenceReads_ = std::move(reads);
        if (referenceReads_ != nullptr && hearsWrites())
            referenceReads_->heard();
    }
    // Whether the backend tells this connection of every write to the kept tables, by any
    // connection or process, so that their count may be trusted between reads (ReferenceReads).
    virtual bool hearsWrites() const { return false; }
    // Takes in the writes told of so far and passes them to referenceReads().
    virtual void hearWrites() {}

protected:
    Database() = default;
    // A statement to be kept and run many times: prepared once for the connection's life, and
    // still right after the schema changed under it.
    virtual std::unique_ptr<Statement> prepareCached(std::string_view sql) = 0;
    // The kept statement of a text, prepared on first use.
    Statement& cachedStatement(std::string_view sql);
    // Called after every statement query() runs: a backend that hears of writes passes on what
    // came with the answer (its own commit's notice among them).
    virtual void noteWritesHeard() {}
    // Finalises the kept statements; a backend calls it before it closes the connection.
    void dropStatements() { statements_.clear(); }
    // Runs the statements in order, then the finishing script (COMMIT or RELEASE SAVEPOINT);
    // raises DbError at the first failure, leaving the transaction open for a rollback. A
    // backend that can send them all in one round trip does so.
    virtual void runThenFinish(std::span<const ReusedRun> runs, const std::string& finish);

private:
    friend class Transaction;
    int depth_ = 0;
    StatementCache statements_{statementCacheLimit};
    std::shared_ptr<ReferenceReads> referenceReads_;
};

} // namespace orvane
