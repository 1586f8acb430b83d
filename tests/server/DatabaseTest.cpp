#include "support/Contains.h"
#include "support/TestDatabase.h"

#include "server/db/ConnectionPool.h"
#include "server/db/DbError.h"
#include "server/db/Transaction.h"
#include "server/schema/SchemaBuilder.h"

#include <stdexcept>

namespace orvane::test {
namespace {

class DatabaseTest : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (IsSkipped())
            return;
        createSchema(*db_, "PRTest50");
        customers_ = db_->dialect().companyTable("PRTest50", "COPMA");
    }

    void addCustomer(const Variant& code, const Variant& name)
    {
        db_->execute("INSERT INTO " + customers_ + " (MA001, MA003) VALUES (?, ?)", {code, name});
    }

    std::int64_t customerCount()
    {
        return db_->query("SELECT COUNT(*) FROM " + customers_).rows.at(0).at(0).toInteger();
    }

    std::string customers_;
};

TEST_P(DatabaseTest, TextsAreBoundAsValuesNeverAsSqlAndRoundTripAsUtf8)
{
    // Texts that would end or break a statement written around them, then texts beyond ASCII.
    std::vector<std::string> texts = {"x'; DROP TABLE COPTC; --", "O'Neil \"quoted\" \\ back\\slash ? $1"};
    texts.insert(texts.end(),
                 {"客户订单录入作业", "繁體中文：訂單", "¥€ — “引号”", "emoji 😀 ok", "", std::string(72, 'x')});
    for (std::size_t i = 0; i < texts.size(); ++i)
        addCustomer("U" + std::to_string(i), texts[i]);
    // Each row is found by its text too: a bound text is compared as it stands.
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto rows = db_->query("SELECT MA003 FROM " + customers_ + " WHERE MA001 = ? AND MA003 = ?",
                                     {"U" + std::to_string(i), texts[i]});
        ASSERT_EQ(rows.rows.size(), 1u) << i;
        EXPECT_EQ(rows.rows[0][0].toString(), texts[i]) << i;
    }
}

TEST_P(DatabaseTest, ValuesComeBackWithTheirTypes)
{
    db_->execute("INSERT INTO " + customers_ + " (MA001, MA015, MA029, MA002) VALUES (?, ?, ?, ?)",
                 {"T1", 0.17, 3, Variant::null()});
    const auto rows = db_->query("SELECT MA015, MA029, MA002, COUNT(*) AS N FROM " + customers_ +
                                     " WHERE MA001 = ? GROUP BY MA015, MA029, MA002",
                                 {"T1"});
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_TRUE(rows.rows[0][0].isFloat());
    EXPECT_DOUBLE_EQ(rows.rows[0][0].toFloat(), 0.17);
    EXPECT_DOUBLE_EQ(rows.rows[0][1].toFloat(), 3.0);
    EXPECT_TRUE(rows.rows[0][2].isNull());
    EXPECT_TRUE(rows.rows[0][3].isInteger());
    EXPECT_EQ(rows.value(0, "n").toInteger(), 1);
}

TEST_P(DatabaseTest, ErrorsNameTheStatementAndTheDatabaseMessage)
{
    try {
        db_->query("SELECT * FROM NO_SUCH_TABLE WHERE A = ?", {1});
        FAIL() << "no error";
    } catch (const DbError& e) {
        const std::string text = e.what();
        EXPECT_TRUE(contains(text, "SELECT * FROM NO_SUCH_TABLE"));
        EXPECT_TRUE(contains(text, db_->dialect().name()));
        EXPECT_EQ(e.kind(), DbErrorKind::General);
    }
    addCustomer("D1", "first");
    try {
        addCustomer("D1", "second");
        FAIL() << "duplicate key accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbErrorKind::Constraint) << e.what();
    }
}

// PostgreSQL sends the reads in one round trip; a failure among them is raised as the read alone
// raises it, and leaves the connection as a failed single read leaves it.
TEST_P(DatabaseTest, ReadsRunTogetherAnswerInOrder)
{
    addCustomer("A1", "first");
    addCustomer("A2", "second");
    const std::string name = "SELECT MA003 FROM " + customers_ + " WHERE MA001 = ?";
    const std::vector<ReusedRun> reads{{name, {"A2"}}, {name, {"A1"}}, {"SELECT COUNT(*) FROM " + customers_, {}}};
    const auto answers = db_->queryAll(reads);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0].rows.at(0).at(0).toString(), "second");
    EXPECT_EQ(answers[1].rows.at(0).at(0).toString(), "first");
    EXPECT_EQ(answers[2].rows.at(0).at(0).toInteger(), 2);

    // Where the reads go together the failure comes from the run itself, midway through them.
    const std::string bad = db_->readsTogether() ? "SELECT 1 / ?" : "SELECT * FROM NO_SUCH_TABLE";
    const std::vector<ReusedRun> failing{reads[0], {bad, {0}}, reads[1]};
    try {
        db_->queryAll(failing);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(contains(e.what(), bad)) << e.what();
    }
    EXPECT_TRUE(db_->usable());
    EXPECT_EQ(db_->queryAll(reads)[1].rows.at(0).at(0).toString(), "first");

    // Inside a transaction the reads see its own writes, and a failure spoils it as a single one does.
    EXPECT_THROW(inTransaction(*db_,
                               [&] {
                                   addCustomer("A3", "third");
                                   EXPECT_EQ(db_->queryAll(reads)[2].rows.at(0).at(0).toInteger(), 3);
                                   db_->queryAll(failing);
                               }),
                 DbError);
    EXPECT_EQ(customerCount(), 2);
    EXPECT_TRUE(db_->usable());
}

TEST_P(DatabaseTest, OnlyCommittedWorkIsKeptAndAnExceptionMidwayUndoesTheWholeTransaction)
{
    {
        Transaction tx(*db_);
        addCustomer("R1", "never kept");
    }
    EXPECT_EQ(customerCount(), 0);
    EXPECT_EQ(db_->transactionDepth(), 0);
    const auto stopHalfway = [&] {
        addCustomer("E1", "first");
        addCustomer("E2", "second");
        throw std::runtime_error("stop halfway");
    };
    EXPECT_THROW(inTransaction(*db_, stopHalfway), std::runtime_error);
    EXPECT_EQ(customerCount(), 0);
    // A database error midway (duplicate key) leaves the connection usable and nothing stored.
    const auto duplicate = [&] {
        addCustomer("E3", "first");
        addCustomer("E3", "duplicate");
    };
    EXPECT_THROW(inTransaction(*db_, duplicate), DbError);
    EXPECT_EQ(customerCount(), 0);
    inTransaction(*db_, [&] { addCustomer("E4", "after"); });
    EXPECT_EQ(customerCount(), 1);
}

TEST_F(DatabaseTest, OnlyTransientFailuresAreRetriedAndTheLastOneIsRaised)
{
    int runs = 0;
    inTransaction(*db_, [&] {
        addCustomer("T" + std::to_string(++runs), "attempt");
        if (runs < 3)
            throw DbError(DbErrorKind::Transient, "busy");
    });
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(customerCount(), 1); // the failed attempts left nothing behind

    // Work that always fails: a transient failure is tried as often as allowed, another once.
    for (const auto& [kind, attempts, expectedRuns] :
         {std::tuple(DbErrorKind::Transient, 2, 2), std::tuple(DbErrorKind::Constraint, 5, 1)}) {
        runs = 0;
        const auto fail = [&, kind = kind] {
            ++runs;
            throw DbError(kind, "failed");
        };
        EXPECT_THROW(inTransaction(*db_, fail, attempts), DbError);
        EXPECT_EQ(runs, expectedRuns);
    }

    Transaction tx(*db_);
    tx.commit();
    EXPECT_THROW(tx.commit(), DbError);
}

TEST_P(DatabaseTest, NestedGuardRollsBackOnlyItsOwnWork)
{
    Transaction outer(*db_);
    addCustomer("N1", "outer");
    try {
        Transaction inner(*db_);
        addCustomer("N2", "inner");
        addCustomer("N2", "inner duplicate");
        inner.commit();
    } catch (const DbError&) {
    }
    addCustomer("N3", "outer again");
    outer.commit();
    const auto rows = db_->query("SELECT MA001 FROM " + customers_ + " ORDER BY MA001");
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0][0].toString(), "N1");
    EXPECT_EQ(rows.rows[1][0].toString(), "N3");
}

TEST_P(DatabaseTest, CompanyDatabasesAreSeparateAddressedFromClientTextAndMadeOutsideTransactions)
{
    createSchema(*db_, "Other");
    addCustomer("K1", "in PRTest50");
    const std::string clientText = "SELECT MA003 FROM PRTest50..COPMA WHERE MA001 = ?";
    const auto found = db_->query(db_->dialect().mapCompanyPrefix(clientText), {"K1"});
    ASSERT_EQ(found.rows.size(), 1u);
    EXPECT_EQ(found.rows[0][0].toString(), "in PRTest50");
    const auto other = db_->query(db_->dialect().mapCompanyPrefix("SELECT MA003 FROM Other..COPMA"));
    EXPECT_TRUE(other.rows.empty());
    EXPECT_TRUE(db_->hasCompany("Other"));
    EXPECT_FALSE(db_->hasCompany("Missing"));
    EXPECT_THROW(db_->ensureCompany("bad name\"; --"), DbError);
    Transaction tx(*db_);
    EXPECT_THROW(db_->ensureCompany("Later"), DbError) << "not inside a transaction";
}

// SQLite attaches at most ten databases to a connection; the schema upgrade makes every company on
// one, and a pooled connection serves every company in turn, each more than once.
TEST_F(DatabaseTest, OneConnectionServesMoreCompaniesThanSqliteAttachesAtOnce)
{
    std::vector<std::string> companies;
    for (int i = 1; i <= 12; ++i)
        companies.push_back("Company" + std::to_string(i));
    for (const auto& company : companies)
        createSchema(*db_, company);
    ConnectionPool pool([this] { return store_->connect(); }, 1);
    for (const bool first : {true, false}) {
        for (const auto& company : companies) {
            auto lease = pool.acquire();
            lease->ensureCompany(company);
            const std::string table = lease->dialect().companyTable(company, "COPMA");
            if (first)
                lease->execute("INSERT INTO " + table + " (MA001, MA003) VALUES (?, ?)", {"K1", company});
            const auto rows = lease->query("SELECT MA003 FROM " + table).rows;
            ASSERT_EQ(rows.size(), 1u) << company;
            EXPECT_EQ(rows[0][0].toString(), company);
        }
    }
}

TEST_P(DatabaseTest, DeletingAnOrderHeadDeletesItsLinesAndSubLines)
{
    const auto t = [&](const char* name) { return db_->dialect().companyTable("PRTest50", name); };
    db_->execute("INSERT INTO " + t("COPTC") + " (TC001, TC002) VALUES (?, ?)", {"2201", "1"});
    db_->execute("INSERT INTO " + t("COPTD") + " (TD001, TD002, TD003) VALUES (?, ?, ?)", {"2201", "1", "0001"});
    db_->execute("INSERT INTO " + t("COPTM") + " (TM001, TM002, TM003, TM004, TM006) VALUES (?, ?, ?, ?, ?)",
                 {"2201", "1", "0001", "F100", "P101"});
    EXPECT_THROW(db_->execute("INSERT INTO " + t("COPTD") + " (TD001, TD002, TD003) VALUES (?, ?, ?)",
                              {"2201", "no head", "0001"}),
                 DbError);
    EXPECT_EQ(db_->execute("DELETE FROM " + t("COPTC") + " WHERE TC001 = ?", {"2201"}), 1);
    EXPECT_EQ(db_->query("SELECT COUNT(*) FROM " + t("COPTD")).rows[0][0].toInteger(), 0);
    EXPECT_EQ(db_->query("SELECT COUNT(*) FROM " + t("COPTM")).rows[0][0].toInteger(), 0);
}

// The connection pool; lending it to several threads in turn is StatementCacheTest's.
TEST_P(DatabaseTest, PoolLendsAtMostItsSizeAndDropsConnectionsLeftInATransaction)
{
    ConnectionPool pool([this] { return store_->connect(); }, 2);
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
}

TEST_P(DatabaseTest, PoolLendsNoIdleConnectionTheServerHasEnded)
{
    if (backend() != Backend::Postgres)
        GTEST_SKIP() << "no server ends an SQLite connection";
    ConnectionPool pool([this] { return store_->connect(); }, 3);
    std::vector<Variant> processes;
    {
        std::vector<ConnectionPool::Lease> leases;
        for (int i = 0; i < 3; ++i) {
            leases.push_back(pool.acquire());
            processes.push_back(leases.back()->query("SELECT pg_backend_pid()").rows.at(0).at(0));
        }
    }
    for (const Variant& process : processes) // waits until the process has ended
        EXPECT_EQ(db_->query("SELECT pg_terminate_backend(?, 10000)", {process}).rows.at(0).at(0).toInteger(), 1);
    auto lease = pool.acquire();
    EXPECT_EQ(lease->query("SELECT 1").rows.at(0).at(0).toInteger(), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
