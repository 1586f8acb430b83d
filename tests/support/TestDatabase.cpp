#include "support/TestDatabase.h"

#include "server/db/PostgresDatabase.h"
#include "server/db/SqliteDatabase.h"
#include "server/schema/DemoSeed.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace orvane::test {

const char* postgresConnection()
{
    const char* value = std::getenv("ORVANE_TEST_PG");
    return value && *value ? value : nullptr;
}

bool isParametrised()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info != nullptr && info->value_param() != nullptr;
}

TestDatabase::TestDatabase(Backend backend) : backend_(backend)
{
    if (backend_ == Backend::Sqlite) {
        folder_.emplace();
        return;
    }
    static std::atomic<int> counter{0};
    name_ = "orvane_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    PostgresDatabase admin(postgresConnection());
    admin.executeScript("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    admin.executeScript("CREATE DATABASE " + name_ + " ENCODING 'UTF8' TEMPLATE template0");
}

TestDatabase::~TestDatabase()
{
    if (backend_ == Backend::Sqlite)
        return;
    try {
        PostgresDatabase admin(postgresConnection());
        admin.executeScript("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    } catch (const std::exception& e) {
        ADD_FAILURE() << "Could not drop test database " << name_ << ": " << e.what();
    }
}

std::unique_ptr<Database> TestDatabase::connect() const
{
    if (backend_ == Backend::Sqlite)
        return std::make_unique<SqliteDatabase>((folder_->path() / "system.db").string());
    // A later keyword of a libpq connection string overrides an earlier one.
    return std::make_unique<PostgresDatabase>(std::string(postgresConnection()) + " dbname=" + name_);
}

Backend BackendTest::backend() const
{
    return isParametrised() ? GetParam() : Backend::Sqlite;
}

void BackendTest::SetUp()
{
    if (backend() == Backend::Postgres && !postgresConnection())
        GTEST_SKIP() << "ORVANE_TEST_PG is not set: PostgreSQL case skipped (scripts/start-postgres.sh prints it)";
    store_ = std::make_unique<TestDatabase>(backend());
    db_ = store_->connect();
}

void SeededBackendTest::SetUp()
{
    BackendTest::SetUp();
    if (IsSkipped())
        return;
    seedDemo(*db_);
    db_->ensureCompany(std::string(demoCompanyDb));
}

void keepOnlyTheFirstDemoOrder(Database& db)
{
    for (const char* table : {"COPTM", "COPTD", "COPTC"}) {
        const std::string prefix(table + 3, 2);
        db.execute("DELETE FROM " + db.dialect().companyTable(demoCompanyDb, table) + " WHERE NOT (" + prefix +
                   "001 = '2201' AND " + prefix + "002 = '2501200001')");
    }
}

void BackendTest::TearDown()
{
    db_.reset();
    store_.reset();
}

::testing::internal::ParamGenerator<Backend> eachBackend()
{
    return ::testing::Values(Backend::Sqlite, Backend::Postgres);
}

std::string backendName(const ::testing::TestParamInfo<Backend>& info)
{
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

} // namespace orvane::test
