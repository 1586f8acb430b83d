// A database made by an older server is brought up to date: the tables added since appear,
// the version is recorded, and nothing stored before is lost.
#include "support/ErrorOf.h"
#include "support/TestDatabase.h"

#include "server/schema/DemoSeed.h"
#include "server/schema/SchemaBuilder.h"

namespace orvane::test {
namespace {

class SchemaUpgradeTest : public BackendTest {
protected:
    std::string company(std::string_view name) const { return db_->dialect().companyTable("PRTest50", name); }
    std::vector<std::int64_t> versions(const std::string& table)
    {
        std::vector<std::int64_t> out;
        for (const DbRow& row : db_->query("SELECT VERSION FROM " + table + " ORDER BY VERSION").rows)
            out.push_back(row[0].toInteger());
        return out;
    }
    // The demonstration database as a server of schema version 1 left it: no DMS_CONTENT, no
    // APPLY_REQUEST, no ROW_VERSION.
    void makeVersion1()
    {
        seedDemo(*db_);
        for (const char* table : {"DMS_CONTENT", "APPLY_REQUEST"})
            db_->executeScript("DROP TABLE " + company(table));
        for (const char* table : {"COPTC", "COPTD", "COPTM"})
            db_->executeScript("ALTER TABLE " + company(table) + " DROP COLUMN ROW_VERSION");
        for (const std::string& table : {company("SCHEMA_VERSION"), db_->dialect().systemTable("SCHEMA_VERSION")})
            db_->execute("UPDATE " + table + " SET VERSION = 1");
    }
};

TEST_P(SchemaUpgradeTest, Version1GainsWhatCameSinceAndKeepsItsRows)
{
    makeVersion1();
    ASSERT_EQ(installedSchemaVersion(*db_, "PRTest50"), 1);
    EXPECT_NE(errorOf([&] { db_->query("SELECT COUNT(*) FROM " + company("DMS_CONTENT")); }), "");

    createSchema(*db_, "PRTest50");
    EXPECT_EQ(versions(company("SCHEMA_VERSION")), (std::vector<std::int64_t>{1, 3}));
    EXPECT_EQ(installedSchemaVersion(*db_, "PRTest50"), currentSchemaVersion);
    EXPECT_EQ(db_->query("SELECT COUNT(*) FROM " + company("DMS_CONTENT")).rows[0][0].toInteger(), 0);
    EXPECT_EQ(db_->query("SELECT COUNT(*) FROM " + company("COPTC")).rows[0][0].toInteger(), 3); // the demo's orders
    EXPECT_EQ(db_->query("SELECT SUM(ROW_VERSION) FROM " + company("COPTD")).rows[0][0].toIntegerOrZero(), 0);
    EXPECT_EQ(db_->query("SELECT COUNT(*) FROM " + company("APPLY_REQUEST")).rows[0][0].toInteger(), 0);

    // Seeding the upgraded demonstration database adds the documents it lacked.
    seedDemo(*db_);
    EXPECT_EQ(db_->query("SELECT COUNT(*) FROM " + company("DMS_CONTENT")).rows[0][0].toInteger(), 2);
}

INSTANTIATE_TEST_SUITE_P(Backends, SchemaUpgradeTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         backendName);

} // namespace
} // namespace orvane::test
