#include "support/Concurrently.h"
#include "support/TestDatabase.h"

#include "server/db/Transaction.h"
#include "server/schema/DemoSeed.h"
#include "server/services/DocumentNumbering.h"

#include <set>

namespace orvane::test {
namespace {

const std::string company(demoCompanyDb);

class DocumentNumberingTest : public SeededBackendTest {
protected:
    std::string reserve(std::string_view type, std::string_view date)
    {
        return numbering_.nextNumber(*db_, company, type, date);
    }
    DocumentNumbering::Peeked peek(std::string_view type, std::string_view date)
    {
        return numbering_.peek(*db_, company, numbering_.rule(*db_, company, type), type, date);
    }

    DocumentNumbering numbering_{"COPTC"};
};

TEST_F(DocumentNumberingTest, PrefixFollowsTheMode)
{
    const struct {
        const char* mode;
        const char* date;
        const char* prefix;
    } cases[] = {{"1", "20250120", "250120"}, {"2", "20250120", "2501"}, {"3", "20250120", ""}, {"3", "", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(DocumentNumbering::prefix({c.mode, 4}, c.date), c.prefix) << c.mode << " " << c.date;
    for (const char* date : {"2025012", "2025-01-2", "20251320", "20250100", "20250231", ""})
        EXPECT_THROW(DocumentNumbering::prefix({"1", 4}, date), NumberingError) << date;
    EXPECT_THROW(DocumentNumbering::prefix({"4", 4}, "20250120"), NumberingError);
}

// A number typed ahead of the counter is skipped (OrderTrustTest's used-up day), and a save rolled
// back gives its number back (OrderSaveTest's refused and failed saves, on each backend).
TEST_P(DocumentNumberingTest, PeekGivesNothingAwayReserveDoes)
{
    EXPECT_EQ(peek("2201", "20250120").next, "2501200002");
    EXPECT_EQ(peek("2201", "20250120").next, "2501200002");
    EXPECT_EQ(reserve("2201", "20250120"), "2501200002");
    EXPECT_EQ(reserve("2201", "20250120"), "2501200003");
    EXPECT_EQ(reserve("2201", "20250121"), "2501210001"); // a new day starts again
    EXPECT_EQ(reserve("2202", "20250121"), "25010001");   // numbered by month
    EXPECT_EQ(peek("2201", "20250120").highest, "2501200003");
}

TEST_F(DocumentNumberingTest, TypesThatCannotBeNumberedAreRefused)
{
    EXPECT_THROW(peek("2209", "20250120"), NumberingError); // typed by hand
    EXPECT_THROW(reserve("9999", "20250120"), NumberingError);
    EXPECT_THROW(reserve("2201", "2025-1-20"), NumberingError);
    db_->execute("INSERT INTO " + db_->dialect().companyTable(company, "CMSMQ") +
                     " (MQ001, MQ002, MQ003, MQ004, MQ005) VALUES (?, ?, ?, ?, ?)",
                 {"2203", "short", "22", "1", 1});
    for (int i = 1; i <= 9; ++i)
        EXPECT_EQ(reserve("2203", "20250120"), "250120" + std::to_string(i));
    EXPECT_THROW(reserve("2203", "20250120"), NumberingError); // the serials are used up
}

TEST_P(DocumentNumberingTest, ConcurrentSaversNeverGetTheSameNumber)
{
    constexpr int savers = 4;
    constexpr int perSaver = 10;
    std::vector<std::vector<std::string>> numbers(savers);
    const auto saver = [&](int s) {
        auto db = store_->connect();
        db->ensureCompany(company);
        for (int i = 0; i < perSaver; ++i)
            inTransaction(*db, [&] { numbers[s].push_back(numbering_.nextNumber(*db, company, "2201", "20250301")); });
    };
    EXPECT_EQ(runConcurrently(savers, saver), std::vector<std::string>{});
    std::set<std::string> distinct;
    for (const auto& saved : numbers)
        distinct.insert(saved.begin(), saved.end());
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(savers * perSaver));
    EXPECT_EQ(*distinct.begin(), "2503010001");
    EXPECT_EQ(*distinct.rbegin(), "2503010040");
}

INSTANTIATE_TEST_SUITE_P(Backends, DocumentNumberingTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
