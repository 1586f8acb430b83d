// The produced SQL runs for real on the seeded demo database and selects the right
// heads, on SQLite and (when ORVANE_TEST_PG is set) on PostgreSQL: the cases are those whose
// result the database decides (LIKE and its escape, numbers compared as text, the line links);
// the shapes themselves are ClientQueryTest's, the order texts sorting stored heads OrderFetchTest's.
#include "QueryWindowText.h"

#include "server/query/ClientQuery.h"
#include "server/schema/DemoSeed.h"
#include "support/TestDatabase.h"

namespace orvane::test {
namespace {

class ClientQueryDbTest : public SeededBackendTest {
protected:
    void SetUp() override
    {
        SeededBackendTest::SetUp();
        if (IsSkipped())
            return;
        keepOnlyTheFirstDemoOrder(*db_);
        // Beside the seeded order 2201-2501200001 (customer C001, amount 1900, one A100 line).
        addHead({"2201", "2501200002", "20250121", "C002", "客户's 备注", 15000.5});
        addLine({"2201", "2501200002", "0001", "A200", 500.0});
        addLine({"2201", "2501200002", "0002", "A100", 5.0});
        // Same number as the seeded order under another type: the links must use both keys.
        addHead({"2202", "2501200001", "20250125", "C004", "", 0.0});
        addLine({"2202", "2501200001", "0001", "Z999", 1.0});
        addHead({"2202", "2502010001", "20250201", "C001", "C:\\dir 50% off", 100.0});
        addHead({"2202", "2502010002", "20250202", "C003", "ＡＢ", 1000.0});
        addLine({"2202", "2502010002", "0001", "A300", 1.0});
    }

    void addHead(std::initializer_list<Variant> values)
    {
        db_->execute("INSERT INTO " + table("COPTC") +
                         " (TC001, TC002, TC003, TC004, TC015, TC029) VALUES (?, ?, ?, ?, ?, ?)",
                     values);
    }

    void addLine(std::initializer_list<Variant> values)
    {
        db_->execute("INSERT INTO " + table("COPTD") + " (TD001, TD002, TD003, TD004, TD008) VALUES (?, ?, ?, ?, ?)",
                     values);
    }

    std::string table(std::string_view name) const { return db_->dialect().companyTable(demoCompanyDb, name); }

    // The keys of the heads the client's texts select, as "TYPE-NUMBER" joined by blanks.
    std::string select(const std::string& condition)
    {
        QueryScope scope = QueryScope::forTables("COPTC", "COPTD", std::string(demoCompanyDb));
        scope.withHeadAlias("H");
        const ClientQuery query = bindClientQuery(scope, db_->dialect(), condition, "TC001 asc,TC002 asc");
        std::string sql = "SELECT TC001, TC002 FROM " + table("COPTC");
        if (!query.where.empty())
            sql += " WHERE " + query.where;
        sql += " ORDER BY " + query.orderBy;
        std::string keys;
        for (const auto& row : db_->query(sql, query.params).rows)
            keys += (keys.empty() ? "" : " ") + row[0].toString() + "-" + row[1].toString();
        return keys;
    }
};

TEST_P(ClientQueryDbTest, ClientTextsSelectTheRightOrders)
{
    const std::string itemA100 = conditionLine("COPTD", "TD004", "=", "A100", false);
    const struct {
        std::string condition;
        std::string keys;
    } cases[] = {
        {keyRows("COPTC", {{"TC001", "=", "2201"}, {"TC002", "like", "250120"}}), "2201-2501200001 2201-2501200002"},
        {conditionList(
             {conditionLine("COPTC", "TC004", "=", "C001", false), conditionLine("COPTC", "TC029", ">=", "1000", true)},
             "OR"),
         "2201-2501200001 2201-2501200002 2202-2502010001 2202-2502010002"},
        {conditionLine("COPTC", "TC029", "like", "100", true), "2202-2502010001 2202-2502010002"},
        {conditionLine("COPTC", "TC029", "like", "15000.", true), "2201-2501200002"},
        {conditionLine("COPTC", "TC015", "=", "客户's 备注", false), "2201-2501200002"},
        {conditionLine("COPTC", "TC015", "like", "C:\\dir 50", false), "2202-2502010001"},
        {conditionLine("COPTC", "TC015", "like", "C:\\d_r", false), "2202-2502010001"},
        {"(COPTC.TC004 <> 'C001') and not (COPTC.TC004 like 'C003%')", "2201-2501200002 2202-2501200001"},
        // ASCII letters match in either case, other letters only as written; a number reads as
        // the same text on every backend.
        {"(COPTC.TC004 like 'c003%')", "2202-2502010002"},
        {"(COPTC.TC015 like 'ａｂ')", ""},
        {"(COPTC.TC029 like '1000') or (COPTC.TC029 like '%.0')", "2202-2502010002"},
        {lineFilter("", itemA100, "PRTest50"), "2201-2501200001 2201-2501200002"},
        {lineFilter("", conditionLine("COPTD", "TD004", "=", "Z999", false), ""), "2202-2501200001"},
        {lineFilter(conditionLine("COPTC", "TC004", "=", "C001", false),
                    conditionList({itemA100, conditionLine("COPTD", "TD008", ">=", "100", true)}, "OR"), ""),
         "2201-2501200001"},
        {lineFilter(conditionLine("COPTC", "TC001", "=", "2201", false),
                    conditionList({itemA100, conditionLine("COPTD", "TD008", "<", "10", true)}, "AND"), "PRTest50"),
         "2201-2501200002"},
        {lineFilter("", "", "PRTest50"), "2201-2501200001 2201-2501200002 2202-2501200001 2202-2502010002"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(select(c.condition), c.keys) << c.condition;
}

INSTANTIATE_TEST_SUITE_P(Backends, ClientQueryDbTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
