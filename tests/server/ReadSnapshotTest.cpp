// A run of reads under one SQLite read lock: it sees one state of the data, never holds up a
// save on another connection (a writing transaction would queue every save behind it), and ends
// with its scope, also inside a transaction where it does nothing.
#include "support/TestDatabase.h"

#include "server/db/ReadSnapshot.h"
#include "server/db/Transaction.h"
#include "server/schema/SchemaBuilder.h"

namespace orvane::test {
namespace {

class ReadSnapshotTest : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        createSchema(*db_, "PRTest50");
        snapshotCustomers_ = db_->dialect().companyTable("PRTest50", "COPMA");
        db_->execute("INSERT INTO " + snapshotCustomers_ + " (MA001) VALUES ('C1')");
    }
    std::int64_t snapshotCount(Database& db)
    {
        return db.query("SELECT COUNT(*) FROM " + snapshotCustomers_).rows.at(0).at(0).toInteger();
    }

    std::string snapshotCustomers_;
};

TEST_F(ReadSnapshotTest, ReadsSeeOneStateWhileAnotherConnectionSaves)
{
    auto other = store_->connect();
    other->ensureCompany("PRTest50");
    {
        const ReadSnapshot reads(*db_);
        EXPECT_EQ(snapshotCount(*db_), 1);
        inTransaction(*other, [&] { other->execute("INSERT INTO " + snapshotCustomers_ + " (MA001) VALUES ('C2')"); });
        EXPECT_EQ(snapshotCount(*db_), 1) << "the state the first read saw";
    }
    EXPECT_EQ(snapshotCount(*db_), 2);
    EXPECT_TRUE(db_->usable()) << "no transaction left open";

    Transaction tx(*db_);
    {
        const ReadSnapshot inside(*db_);
    }
    db_->execute("INSERT INTO " + snapshotCustomers_ + " (MA001) VALUES ('C3')");
    tx.commit();
    EXPECT_EQ(snapshotCount(*other), 3) << "the snapshot inside left the transaction to its guard";
}

} // namespace
} // namespace orvane::test
