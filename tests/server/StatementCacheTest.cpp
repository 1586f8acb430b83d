// The statements a connection keeps prepared: right after the schema changes under them, clean
// after a failed run, bounded, and private to their connection when a pool lends it to
// several threads in turn.

#include "support/Concurrently.h"
#include "support/ErrorOf.h"
#include "support/TestDatabase.h"

#include "server/db/ConnectionPool.h"
#include "server/db/DbError.h"
#include "server/db/Transaction.h"

#include <climits>

namespace orvane::test {
namespace {

class StatementCacheTest : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (IsSkipped())
            return;
        db_->executeScript("CREATE TABLE CACHE_T (K INTEGER PRIMARY KEY, V BIGINT)");
    }

    const std::string selectAll_ = "SELECT * FROM CACHE_T ORDER BY K";
};

TEST_P(StatementCacheTest, KeptStatementFollowsTheSchemaChangedUnderIt)
{
    db_->execute("INSERT INTO CACHE_T (K, V) VALUES (?, ?)", {1, 10});
    EXPECT_EQ(db_->query(selectAll_).columns().size(), 2u);

    db_->executeScript("ALTER TABLE CACHE_T ADD COLUMN W BIGINT DEFAULT 7");
    const QueryResult widened = db_->query(selectAll_);
    ASSERT_EQ(widened.columns().size(), 3u);
    EXPECT_EQ(widened.rows.at(0).at(2).toInteger(), 7);

    // Stale inside a transaction: the retried transaction sees the new column.
    db_->executeScript("ALTER TABLE CACHE_T ADD COLUMN X BIGINT DEFAULT 8");
    std::size_t columns = 0;
    inTransaction(*db_, [&] { columns = db_->query(selectAll_).rows.at(0).size(); });
    EXPECT_EQ(columns, 4u);

    // Made again with as many columns, one under another name: the result names the new one.
    db_->executeScript(
        "DROP TABLE CACHE_T; CREATE TABLE CACHE_T (K INTEGER PRIMARY KEY, V BIGINT, W BIGINT, Y BIGINT)");
    const QueryResult renamed = db_->query(selectAll_);
    EXPECT_EQ(renamed.columnIndex("Y"), 3);
    EXPECT_EQ(renamed.columnIndex("X"), -1);

    // A table dropped and made again under the same name, with other columns.
    db_->executeScript("DROP TABLE CACHE_T; CREATE TABLE CACHE_T (K INTEGER PRIMARY KEY)");
    db_->execute("INSERT INTO CACHE_T (K) VALUES (?)", {5});
    const QueryResult remade = db_->query(selectAll_);
    EXPECT_EQ(remade.columns().size(), 1u);
    EXPECT_EQ(remade.rows.at(0).at(0).toInteger(), 5);
}

TEST_P(StatementCacheTest, StaysWithinItsLimitAndPreparesDroppedTextsAgain)
{
    const auto selectNumber = [](std::size_t n) { return "SELECT " + std::to_string(n) + " + ?"; };
    for (std::size_t n = 0; n < Database::statementCacheLimit + 20; ++n)
        EXPECT_EQ(db_->query(selectNumber(n), {1}).rows.at(0).at(0).toInteger(), static_cast<long long>(n + 1));
    EXPECT_EQ(db_->cachedStatements(), Database::statementCacheLimit);
    EXPECT_EQ(db_->query(selectNumber(0), {2}).rows.at(0).at(0).toInteger(), 2);
    if (backend() == Backend::Postgres) {
        // The server's statements of the dropped texts are let go too.
        const auto held = db_->query("SELECT COUNT(*) FROM pg_prepared_statements").rows.at(0).at(0).toInteger();
        EXPECT_LE(held, static_cast<long long>(Database::statementCacheLimit) + 1);
        // A kept statement is planned once, not again at each run.
        EXPECT_EQ(db_->query("SELECT COALESCE(SUM(custom_plans), 0) FROM pg_prepared_statements").rows.at(0).at(0).toInteger(), 0);
    }
}

TEST_P(StatementCacheTest, FailedRunLeavesTheStatementReadyAndUnlocked)
{
    db_->execute("INSERT INTO CACHE_T (K, V) VALUES (?, ?)", {1, 1});
    // The first run of this text fails once it is prepared, the next two bind an array and a value
    // too many; later runs reuse what was prepared.
    const std::string insert = "INSERT INTO CACHE_T (V, K) VALUES (?, ?)";
    EXPECT_NE(errorOf<DbError>([&] { db_->execute(insert, {99, 1}); }), "");
    EXPECT_NE(errorOf<DbError>([&] { db_->execute(insert, {Variant::arrayOf({1}), 3}); }), "");
    EXPECT_NE(errorOf<DbError>([&] { db_->execute(insert, {3, 3, 3}); }), "");
    db_->execute(insert, {LLONG_MIN, 2});
    db_->execute(insert, {3, 3});

    // ABS overflows on the second row: the run fails after it read a row.
    EXPECT_NE(errorOf<DbError>([&] { db_->query("SELECT ABS(V) FROM CACHE_T ORDER BY K"); }), "");
    const QueryResult stored = db_->query("SELECT K, V FROM CACHE_T ORDER BY K");
    ASSERT_EQ(stored.rows.size(), 3u);
    EXPECT_EQ(stored.rows[0][1].toInteger(), 1);
    EXPECT_EQ(stored.rows[1][1].toInteger(), LLONG_MIN);
    EXPECT_EQ(stored.rows[2][1].toInteger(), 3);
    // A statement left half-run would hold the table and refuse this.
    EXPECT_NO_THROW(db_->executeScript("DROP TABLE CACHE_T"));
}

TEST_F(StatementCacheTest, PooledConnectionsKeepTheirStatementsApartAcrossThreads)
{
    db_.reset();
    ConnectionPool pool([this] { return store_->connect(); }, 3);
    constexpr int threads = 8, rounds = 50;
    const auto failures = runConcurrently(threads, [&](int thread) {
        for (int round = 0; round < rounds; ++round) {
            const auto db = pool.acquire();
            const long long key = thread * 1000LL + round;
            db->execute("INSERT INTO CACHE_T (K, V) VALUES (?, ?)", {key, key * 2});
            const QueryResult read = db->query("SELECT V, ? FROM CACHE_T WHERE K = ?", {thread, key});
            if (read.rows.size() != 1 || read.rows[0][0].toInteger() != key * 2 ||
                read.rows[0][1].toInteger() != thread)
                throw std::runtime_error("read another thread's values at round " + std::to_string(round));
        }
    });
    EXPECT_TRUE(failures.empty()) << failures.front();
    EXPECT_EQ(pool.acquire()->query("SELECT COUNT(*) FROM CACHE_T").rows.at(0).at(0).toInteger(), threads * rounds);
}

INSTANTIATE_TEST_SUITE_P(Backends, StatementCacheTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
