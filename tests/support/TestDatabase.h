#pragma once
// A fresh database per test, on SQLite (a temporary folder) or on PostgreSQL (a new database on
// the server named by ORVANE_TEST_PG, dropped afterwards).
//
// Fixtures derive from BackendTest. A TEST_F case runs on SQLite; a TEST_P case runs on each
// backend when its suite is instantiated with
//     INSTANTIATE_TEST_SUITE_P(Backends, SomeTest, eachBackend(), backendName);
// The PostgreSQL run is skipped, visibly, when ORVANE_TEST_PG is not set.

#include "support/TempFolder.h"

#include "server/db/Database.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace orvane::test {

enum class Backend { Sqlite, Postgres };

class TestDatabase {
public:
    explicit TestDatabase(Backend backend);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // A new connection to this test's database.
    std::unique_ptr<Database> connect() const;

private:
    Backend backend_;
    std::optional<TempFolder> folder_; // SQLite
    std::string name_;                 // PostgreSQL
};

// The PostgreSQL connection string of ORVANE_TEST_PG, or nullptr when it is not set.
const char* postgresConnection();

// Whether the running case is a TEST_P one (and so has a parameter to read).
bool isParametrised();

class BackendTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override;
    void TearDown() override;
    // The parameter of a TEST_P case; SQLite for a TEST_F one.
    Backend backend() const;

    std::unique_ptr<TestDatabase> store_;
    std::unique_ptr<Database> db_;
};

// A fresh database holding the demo seed, with the demo company addressable on db_.
class SeededBackendTest : public BackendTest {
protected:
    void SetUp() override;
};

// Removes the demo's orders but the first (2201-2501200001, one A100 line) with their lines
// and option lines: for the tests that list and count orders from that one order alone, so
// the demo may show more documents without moving their expectations.
void keepOnlyTheFirstDemoOrder(Database& db);

::testing::internal::ParamGenerator<Backend> eachBackend();

// "Sqlite" / "Postgres", for test names.
std::string backendName(const ::testing::TestParamInfo<Backend>& info);

} // namespace orvane::test
