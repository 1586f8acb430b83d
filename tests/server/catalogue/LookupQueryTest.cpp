#include "server/catalogue/LookupQuery.h"
#include "platform/text/ByteText.h"
#include "server/catalogue/CatalogueError.h"
#include "server/catalogue/LookupCatalogue.h"
#include "server/catalogue/LookupDefs.h"
#include "server/db/SqliteDialect.h"
#include "support/Concurrently.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

// The refusal of these keys by the lookup, "" when they are bound.
std::string lookupBindError(const LookupEntry& entry, const Variant& keys)
{
    return errorOf<CatalogueError>([&] { LookupQuery::bindValues(entry, keys); });
}

// A pair the catalogue lacks is named as the validator relays it (ServicesTest).
TEST(LookupQueryTest, TablesAreFoundInAnyCase)
{
    EXPECT_EQ(&rowLookups().find("copma", "08"), &rowLookups().find("COPMA", "08"));
    for (const LookupCatalogue* catalogue : {&rowLookups(), &windowLists()}) {
        for (const LookupEntry& entry : catalogue->entries()) {
            std::string lower = entry.table;
            for (char& c : lower)
                c = text::lowerAscii(c);
            EXPECT_EQ(catalogue->tryFind(lower, entry.kind), &entry) << entry.label();
        }
    }
    for (const auto& [table, kind] : {std::pair{"COPMA", "99"}, {"", ""}, {"ZZZZZ", "01"}, {"COPM", "08"}})
        EXPECT_EQ(rowLookups().tryFind(table, kind), nullptr) << table << " " << kind;
}

TEST(LookupQueryTest, KeysAreBoundAsValuesNeverAsText)
{
    const auto& pick = windowLists().find("COPMA", "61");
    // Wildcards and quotes typed by the user stay literal.
    EXPECT_EQ(LookupQuery::bindValues(pick, Variant::arrayOf({"C%_'\\"})),
              (std::vector<Variant>{"C\\%\\_'\\\\%", "%C\\%\\_'\\\\%", "%C\\%\\_'\\\\%"}));
    const std::string sql = LookupQuery::sql(SqliteDialect(), "PRTest50", rowLookups().find("CMSME", "01"), false);
    EXPECT_EQ(sql, "SELECT ME002 FROM \"PRTest50\".CMSME WHERE ME001 = ?");
    EXPECT_TRUE(contains(LookupQuery::sql(SqliteDialect(), "PRTest50", pick, true), " LIMIT ? OFFSET ?"));
    EXPECT_THROW(LookupQuery::sql(SqliteDialect(), "PRTest50\"; DROP", pick, false), std::exception);
}

// The text is built once and kept with the entry: each company database and paging has its own,
// threads asking at once all get theirs, and a copy of an entry changed after builds its own.
TEST(LookupQueryTest, KeptTextsBelongToTheirCompanyPagingAndEntry)
{
    using namespace lookup;
    const LookupEntry department =
        entry("CMSME", "01", LookupShape::Data, "", {"code"}, {col("ME002", "")}, "{CMSME} WHERE ME001 = ?");
    const SqliteDialect dialect;
    const std::string& kept = LookupQuery::sql(dialect, "PRTest50", department, false);
    EXPECT_EQ(&LookupQuery::sql(dialect, "PRTest50", department, false), &kept);
    EXPECT_EQ(LookupQuery::sql(dialect, "PRTest50", department, true), kept + " LIMIT ? OFFSET ?");
    const auto failures = runConcurrently(8, [&](int thread) {
        for (int round = 0; round < 50; ++round) {
            const std::string company = "C" + std::to_string((thread + round) % 12);
            if (LookupQuery::sql(dialect, company, department, round % 2 == 0) !=
                "SELECT ME002 FROM \"" + company + "\".CMSME WHERE ME001 = ?" +
                    (round % 2 == 0 ? " LIMIT ? OFFSET ?" : ""))
                throw std::runtime_error("another text for " + company);
        }
    });
    EXPECT_TRUE(failures.empty()) << failures.front();
    LookupEntry byName = department;
    byName.from = "{CMSME} WHERE ME002 = ?";
    EXPECT_EQ(LookupQuery::sql(dialect, "PRTest50", byName, false),
              "SELECT ME002 FROM \"PRTest50\".CMSME WHERE ME002 = ?");
}

// Wrong key counts and keys of the wrong kind are refused, the lookup named.
TEST(LookupQueryTest, BadKeysAreRefused)
{
    const auto& department = rowLookups().find("CMSME", "01");
    const struct {
        const LookupEntry& entry;
        Variant keys;
        const char* error;
    } cases[] = {
        {rowLookups().find("COPMA", "08"), Variant::arrayOf({"C001", "C002"}),
         "Lookup COPMA \"08\" takes 1 keys, not 2"},
        {windowLists().find("CMSMC", "01"), Variant::arrayOf({"01", "A", "x"}),
         "Lookup CMSMC \"01\" takes 0 to 2 keys, not 3"},
        {rowLookups().find("COPTD", "14"), Variant::arrayOf({"", "", "", "B100", "two", ""}),
         "Key 5 (line quantity) of lookup COPTD \"14\" must be a number, not 'two'"},
        {department, Variant::arrayOf({Variant::arrayOf({"x"})}),
         "Key 1 (department code) of lookup CMSME \"01\" is Array, not a single value"},
        {department, Variant::createArray({0, 0}, {0, 0}),
         "Lookup keys must be a one-dimensional array, not a 2-dimensional one"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lookupBindError(c.entry, c.keys), c.error);
    // Keys that fit are bound: one bare value, a number written as text.
    EXPECT_EQ(LookupQuery::bindValues(rowLookups().find("COPMA", "08"), Variant("C001")), std::vector<Variant>{"C001"});
    EXPECT_EQ(
        LookupQuery::bindValues(rowLookups().find("COPTD", "14"), Variant::arrayOf({"", "", "", "B100", "2.5", ""}))[0],
        Variant(2.5));
}

TEST(LookupQueryTest, NotFoundRowsKeepTheirWidth)
{
    const auto& counted = rowLookups().find("COPMA", "08");
    const DbRow row = LookupQuery::notFoundRow(counted);
    ASSERT_EQ(row.size(), 41u);
    EXPECT_EQ(row[0], Variant(0));
    EXPECT_EQ(row[40], Variant(""));
    EXPECT_FALSE(LookupQuery::found(counted, {0, "x"}));
    EXPECT_TRUE(LookupQuery::found(counted, {1, "x"}));
    EXPECT_TRUE(LookupQuery::found(rowLookups().find("CMSME", "01"), {""}));
}

TEST(LookupQueryTest, CatalogueRefusesInconsistentEntries)
{
    using namespace lookup;
    const auto make = [](std::vector<LookupEntry> entries) { LookupCatalogue("test", std::move(entries)); };
    const LookupEntry good =
        entry("CMSME", "01", LookupShape::Data, "", {"code"}, {col("ME002", "")}, "{CMSME} WHERE ME001 = ?");
    EXPECT_NO_THROW(make({good}));
    EXPECT_EQ(errorOf<CatalogueError>([&] { make({good, good}); }), "The test catalogue holds CMSME \"01\" twice");
    LookupEntry markers = good;
    markers.from += " AND ME003 = ?";
    EXPECT_EQ(errorOf<CatalogueError>([&] { make({markers}); }), "Lookup CMSME \"01\" binds 1 keys to 2 markers");
    LookupEntry table = good;
    table.from = "{SYS_USER} WHERE USER_ID = ?";
    EXPECT_EQ(errorOf<CatalogueError>([&] { make({table}); }),
              "Lookup CMSME \"01\" reads an unknown company table 'SYS_USER'");
    LookupEntry unnamed = good;
    unnamed.from = "{CMSME} M JOIN SYS_USER U ON U.USER_ID = M.ME001 WHERE ME001 = ?";
    EXPECT_EQ(errorOf<CatalogueError>([&] { make({unnamed}); }),
              "Lookup CMSME \"01\" names a table other than as {TABLE}: FROM " + unnamed.from);
}

} // namespace
} // namespace orvane::test
