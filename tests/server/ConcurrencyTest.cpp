#include "support/TestDatabase.h"

#include "server/db/ConnectionPool.h"
#include "server/db/Transaction.h"
#include "server/schema/SchemaBuilder.h"

#include <atomic>
#include <thread>
#include <vector>

namespace orvane::test {
namespace {

class ConcurrencyTest : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (!IsSkipped())
            createSchema(*db_, "PRTest50");
    }

    // A connection of its own with the company database made addressable.
    std::unique_ptr<Database> connectCompany() const
    {
        auto db = store_->connect();
        db->ensureCompany("PRTest50");
        return db;
    }
};

TEST_P(ConcurrencyTest, ConcurrentWritersLoseNoRows)
{
    constexpr int writers = 4;
    constexpr int perWriter = 25;
    std::vector<std::thread> threads;
    std::vector<std::string> failures(writers);
    for (int w = 0; w < writers; ++w) {
        threads.emplace_back([&, w] {
            try {
                auto db = connectCompany();
                const std::string table = db->dialect().companyTable("PRTest50", "DOC_NUMBER");
                for (int i = 0; i < perWriter; ++i) {
                    inTransaction(*db, [&] {
                        // Read-then-write inside one transaction: the pattern of document numbering.
                        db->query("SELECT COUNT(*) FROM " + table);
                        db->execute("INSERT INTO " + table +
                                        " (NUM_TABLE, NUM_TYPE, NUM_PREFIX, NUM_LAST) VALUES (?, ?, ?, ?)",
                                    {"T" + std::to_string(w), "X", std::to_string(i), i});
                    });
                }
            } catch (const std::exception& e) {
                failures[static_cast<std::size_t>(w)] = e.what();
            }
        });
    }
    for (auto& t : threads)
        t.join();
    for (const auto& f : failures)
        EXPECT_EQ(f, "");
    const auto count = db_->query("SELECT COUNT(*) FROM " + db_->dialect().companyTable("PRTest50", "DOC_NUMBER"));
    EXPECT_EQ(count.rows[0][0].toInteger(), writers * perWriter);
}

TEST_P(ConcurrencyTest, PoolLendsAtMostItsSizeAndDropsConnectionsLeftInATransaction)
{
    ConnectionPool pool([this] { return connectCompany(); }, 2);
    {
        auto first = pool.acquire();
        auto second = pool.acquire();
        EXPECT_EQ(pool.openCount(), 2u);
        EXPECT_NE(&*first, &*second);
    }
    Database* reused = nullptr;
    {
        auto lease = pool.acquire();
        reused = &*lease;
    }
    {
        auto lease = pool.acquire();
        EXPECT_EQ(&*lease, reused); // idle connections are lent again
        lease->executeScript(std::string(lease->dialect().beginTransaction()));
    }
    EXPECT_EQ(pool.openCount(), 1u); // the one left inside a transaction was closed

    std::vector<std::thread> threads;
    std::atomic<int> done{0};
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            auto lease = pool.acquire();
            lease->query("SELECT COUNT(*) FROM " + lease->dialect().companyTable("PRTest50", "COPTC"));
            ++done;
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(done.load(), 6);
    EXPECT_LE(pool.openCount(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Backends, ConcurrencyTest, ::testing::Values(Backend::Sqlite, Backend::Postgres), backendName);

} // namespace
} // namespace orvane::test
