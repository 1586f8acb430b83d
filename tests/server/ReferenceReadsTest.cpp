// The shared answers of reference reads: given only at the write count they were read at.
#include "server/db/ReferenceReads.h"

#include "server/schema/Tables.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

SharedResult answerOf(const Variant& value)
{
    QueryResult answer;
    answer.rows.push_back({value});
    return std::make_shared<const QueryResult>(std::move(answer));
}

std::string keptValue(const ReferenceReads& reads, std::int64_t writes, const Variant& key,
                      std::string_view company = "PRTest50")
{
    const std::vector<Variant> params{key};
    const auto kept = reads.find(company, writes, "SELECT MF003 FROM {CMSMF} WHERE MF001 = ?", params);
    return kept ? kept->rows.at(0).at(0).toString() : "none";
}

void keep(ReferenceReads& reads, std::int64_t writes, const Variant& key, const Variant& value)
{
    const std::vector<Variant> params{key};
    reads.keep("PRTest50", writes, "SELECT MF003 FROM {CMSMF} WHERE MF001 = ?", params, answerOf(value));
}

TEST(ReferenceReadsTest, AnAnswerIsGivenOnlyAtTheCountItWasReadAt)
{
    ReferenceReads reads;
    keep(reads, 5, "RMB", 2);
    EXPECT_EQ(keptValue(reads, 5, "RMB"), "2");
    EXPECT_EQ(keptValue(reads, 6, "RMB"), "none") << "written since";
    EXPECT_EQ(keptValue(reads, 5, "RMB", "Other"), "none") << "another company";
    EXPECT_EQ(keptValue(reads, 5, "USD"), "none");

    keep(reads, 4, "USD", 3); // read before the write another reader saw: may already be stale
    EXPECT_EQ(keptValue(reads, 4, "USD"), "none");
    EXPECT_EQ(reads.keptAt("PRTest50"), 5);

    keep(reads, 6, "USD", 4);
    EXPECT_EQ(keptValue(reads, 6, "USD"), "4");
    EXPECT_EQ(keptValue(reads, 5, "RMB"), "none") << "the older answers are dropped";
}

TEST(ReferenceReadsTest, ValuesOfAnotherTypeAreAnotherRead)
{
    ReferenceReads reads;
    keep(reads, 1, std::int64_t{1}, "integer");
    keep(reads, 1, 1.0, "float");
    keep(reads, 1, "1", "text");
    EXPECT_EQ(keptValue(reads, 1, std::int64_t{1}), "integer");
    EXPECT_EQ(keptValue(reads, 1, 1.0), "float");
    EXPECT_EQ(keptValue(reads, 1, "1"), "text");
    EXPECT_EQ(keptValue(reads, 1, Variant()), "none");
}

TEST(ReferenceReadsTest, TheStoreStaysBounded)
{
    ReferenceReads reads;
    for (std::size_t i = 0; i <= ReferenceReads::answersPerCompany; ++i)
        keep(reads, 1, static_cast<std::int64_t>(i), "x");
    EXPECT_EQ(keptValue(reads, 1, std::int64_t{0}), "none");
    EXPECT_EQ(keptValue(reads, 1, static_cast<std::int64_t>(ReferenceReads::answersPerCompany)), "x");

    // Bounded in bytes too: a long key is not kept, and large answers push out the first ones.
    const std::string longKey(ReferenceReads::bytesPerAnswer, 'k');
    keep(reads, 2, longKey, "x");
    EXPECT_EQ(keptValue(reads, 2, longKey), "none");
    const std::string large(ReferenceReads::bytesPerAnswer / 2, 'v');
    const std::size_t count = 2 * ReferenceReads::bytesPerCompany / ReferenceReads::bytesPerAnswer + 1;
    for (std::size_t i = 0; i < count; ++i)
        keep(reads, 2, static_cast<std::int64_t>(i), large);
    EXPECT_EQ(keptValue(reads, 2, std::int64_t{0}), "none");
    EXPECT_EQ(keptValue(reads, 2, static_cast<std::int64_t>(count - 1)), large);
}

TEST(ReferenceReadsTest, OnlyStatementsOfKeptTablesAloneMayBeKept)
{
    EXPECT_TRUE(readsKeptTablesOnly("SELECT MB004 FROM {INVMB} WHERE MB001 = ?", "PRTest50"));
    EXPECT_TRUE(readsKeptTablesOnly("SELECT 1 FROM {GSPMA} G LEFT JOIN {INVMB} I ON I.MB001 = G.MA001", "PRTest50"));
    EXPECT_TRUE(readsKeptTablesOnly(R"(SELECT MB004 FROM "PRTest50".INVMB WHERE MB001 = ?)", "PRTest50"));
    EXPECT_FALSE(readsKeptTablesOnly("SELECT 1 FROM {COPTD} D JOIN {INVMB} I ON I.MB001 = D.TD004", "PRTest50"));
    EXPECT_FALSE(readsKeptTablesOnly(R"(SELECT 1 FROM "PRTest50".INVMB JOIN "PRTest50".INVMC)", "PRTest50"));
    EXPECT_FALSE(readsKeptTablesOnly("SELECT 1", "PRTest50")) << "no table: nothing to count writes of";
    EXPECT_FALSE(readsKeptTablesOnly("SELECT 1 FROM {UNKNOWN}", "PRTest50"));
}

} // namespace
} // namespace orvane
