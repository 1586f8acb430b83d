#include "TestDatabase.h"

#include "server/db/PostgresDatabase.h"
#include "server/db/SqliteDatabase.h"
#include "server/schema/DemoSeed.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

namespace orvane::test {

namespace {

const char* pgConnection()
{
    const char* value = std::getenv("ORVANE_TEST_PG");
    return value && *value ? value : nullptr;
}

} // namespace

TestDatabase::TestDatabase(Backend backend) : backend_(backend)
{
    static std::atomic<int> counter{0};
    const std::string unique = std::to_string(getpid()) + "_" + std::to_string(counter++);
    if (backend_ == Backend::Sqlite) {
        location_ = (std::filesystem::temp_directory_path() / ("orvane_test_" + unique)).string();
        std::filesystem::remove_all(location_);
        std::filesystem::create_directories(location_);
        return;
    }
    location_ = "orvane_test_" + unique;
    PostgresDatabase admin(pgConnection());
    admin.executeScript("DROP DATABASE IF EXISTS " + location_ + " WITH (FORCE)");
    admin.executeScript("CREATE DATABASE " + location_ + " ENCODING 'UTF8' TEMPLATE template0");
}

TestDatabase::~TestDatabase()
{
    if (backend_ == Backend::Sqlite) {
        std::error_code ignored;
        std::filesystem::remove_all(location_, ignored);
        return;
    }
    try {
        PostgresDatabase admin(pgConnection());
        admin.executeScript("DROP DATABASE IF EXISTS " + location_ + " WITH (FORCE)");
    } catch (const std::exception& e) {
        ADD_FAILURE() << "Could not drop test database " << location_ << ": " << e.what();
    }
}

std::unique_ptr<Database> TestDatabase::connect() const
{
    if (backend_ == Backend::Sqlite)
        return std::make_unique<SqliteDatabase>((std::filesystem::path(location_) / "system.db").string());
    // A later keyword of a libpq connection string overrides an earlier one.
    return std::make_unique<PostgresDatabase>(std::string(pgConnection()) + " dbname=" + location_);
}

void BackendTest::SetUp()
{
    if (GetParam() == Backend::Postgres && !pgConnection())
        GTEST_SKIP() << "ORVANE_TEST_PG is not set: PostgreSQL case skipped (scripts/start-postgres.sh prints it)";
    store_ = std::make_unique<TestDatabase>(GetParam());
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

void BackendTest::TearDown()
{
    db_.reset();
    store_.reset();
}

std::string backendName(const ::testing::TestParamInfo<Backend>& info)
{
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

} // namespace orvane::test
