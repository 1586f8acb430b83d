#pragma once
// The multi-user backend, through libpq. One connection per thread or session; the
// system tables live in the "public" schema and each company database is a schema of
// the same PostgreSQL database. The connection speaks UTF-8.
//
// Threads: one thread at a time per connection; share connections through a
// ConnectionPool.

#include "server/db/Database.h"
#include "server/db/PostgresDialect.h"

#include <set>
#include <string>
#include <vector>

struct pg_conn;

namespace orvane {

// The names of a connection's statements prepared on the server. A statement dropped from the
// connection's cache leaves its name in dropped until the connection is outside any
// transaction, where deallocating it cannot disturb a transaction's work.
struct PreparedNames {
    int made = 0;
    std::vector<std::string> dropped;

    std::string next() { return "orvane_s" + std::to_string(++made); }
};

class PostgresDatabase : public Database {
public:
    // Connects with a libpq connection string ("host=/var/run/postgresql dbname=orvane").
    // Raises DbError (kind Connection) when it cannot.
    explicit PostgresDatabase(const std::string& connection);
    ~PostgresDatabase() override;

    const SqlDialect& dialect() const override { return dialect_; }
    std::unique_ptr<Statement> prepare(std::string_view sql) override;
    void executeScript(std::string_view sql) override;
    void ensureCompany(const std::string& companyDb) override;
    bool hasCompany(const std::string& companyDb) override;
    bool usable() const override;
    bool alive() override;
    std::vector<QueryResult> queryAll(std::span<const ReusedRun> reads) override;
    bool readsTogether() const override { return true; }
    // Every connection listens for the notices the kept tables' triggers send at commit.
    bool hearsWrites() const override { return true; }
    void hearWrites() override;

protected:
    std::unique_ptr<Statement> prepareCached(std::string_view sql) override;
    // Sends the statements and the finishing command in one round trip (libpq's pipeline mode).
    void runThenFinish(std::span<const ReusedRun> runs, const std::string& finish) override;
    void noteWritesHeard() override;

private:
    void deallocateDropped();
    // Closes the connection being opened and raises the connection error of message.
    [[noreturn]] void giveUp(std::string message);

    pg_conn* conn_ = nullptr;
    PostgresDialect dialect_;
    PreparedNames names_;
    std::set<std::string> known_; // company schemas known to exist on this connection
    bool ended_ = false;          // the server said, while no statement ran, that it ends the session
};

} // namespace orvane
