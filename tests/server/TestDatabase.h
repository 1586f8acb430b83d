#pragma once
// A fresh database per test, on SQLite (a temporary folder) or on PostgreSQL (a new
// database on the server named by ORVANE_TEST_PG, dropped afterwards). Backend tests
// derive from BackendTest and run once per backend; the PostgreSQL run is skipped,
// visibly, when ORVANE_TEST_PG is not set.

#include "server/db/Database.h"

#include <gtest/gtest.h>

#include <memory>
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
    std::string location_; // SQLite: folder; PostgreSQL: database name
};

class BackendTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<TestDatabase> store_;
    std::unique_ptr<Database> db_;
};

// A fresh database holding the demo seed, with the demo company addressable on db_.
class SeededBackendTest : public BackendTest {
protected:
    void SetUp() override;
};

// "Sqlite" / "Postgres", for test names.
std::string backendName(const ::testing::TestParamInfo<Backend>& info);

} // namespace orvane::test
