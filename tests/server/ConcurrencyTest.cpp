// The connection pool under several threads, on each backend.
#include "support/Concurrently.h"
#include "support/TestDatabase.h"

#include "server/db/ConnectionPool.h"
#include "server/schema/SchemaBuilder.h"

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

    EXPECT_EQ(runConcurrently(6,
                              [&](int) {
                                  auto lease = pool.acquire();
                                  lease->query("SELECT COUNT(*) FROM " +
                                               lease->dialect().companyTable("PRTest50", "COPTC"));
                              }),
              std::vector<std::string>{});
    EXPECT_LE(pool.openCount(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Backends, ConcurrencyTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
