#pragma once
// The embedded backend. The system database is one SQLite file; each company database is a
// file "<company database>.db" in the company folder, attached under its name; a connection
// holds at most SQLite's limit of attached databases (10 by default), so attaching one more
// first detaches the one it used least recently. Every database runs in WAL mode with
// synchronous FULL, foreign keys are enforced, and a writer waits for the busy timeout before
// it reports a lock.
//
// Threads: one thread at a time per connection; open one connection per thread.

#include "server/db/ConnectionPool.h"
#include "server/db/Database.h"
#include "server/db/SqliteDialect.h"

#include <filesystem>
#include <vector>

struct sqlite3;

namespace orvane {

struct SqliteOptions {
    std::string companyFolder; // where company files live; empty: the system file's folder
    int busyTimeoutMs = 10000; // how long a statement waits for a lock held by another connection
};

class SqliteDatabase : public Database {
public:
    // Opens (creating when missing) the system database file; ":memory:" keeps the system
    // database and every company database in memory. Raises DbError when it cannot.
    explicit SqliteDatabase(const std::string& path, SqliteOptions options = {});
    ~SqliteDatabase() override;

    const SqlDialect& dialect() const override { return dialect_; }
    std::unique_ptr<Statement> prepare(std::string_view sql) override;
    void executeScript(std::string_view sql) override;
    void ensureCompany(const std::string& companyDb) override;
    bool hasCompany(const std::string& companyDb) override;
    bool usable() const override;

    // The file a company database lives in (":memory:" for an in-memory system database).
    std::string companyFile(const std::string& companyDb) const;

protected:
    std::unique_ptr<Statement> prepareCached(std::string_view sql) override;

private:
    void applyPragmas(const std::string& schema);
    // Detaches the least recently used company database when no other one may be attached.
    void makeRoomForCompany(const std::string& companyDb);

    sqlite3* db_ = nullptr;
    SqliteDialect dialect_;
    std::string path_;
    SqliteOptions options_;
    std::vector<std::string> attached_; // company databases attached on this connection, most recently used last
};

// Connections to the SQLite installation in dataFolder: the system database "orvane.db"
// with the company files beside it. Creates the folder when it is missing.
ConnectionPool::Factory sqliteFactory(const std::filesystem::path& dataFolder);

} // namespace orvane
