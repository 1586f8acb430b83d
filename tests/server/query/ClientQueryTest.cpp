// The SQL and bound values produced for every shape the client builds. Names are
// always written in the schema's spelling; values only ever appear as parameters.
#include "QueryWindowText.h"

#include "server/db/PostgresDialect.h"
#include "server/db/SqliteDialect.h"
#include "server/query/ClientQuery.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

struct Shape {
    const char* name;
    std::string condition;
    std::string sql;
    std::vector<Variant> params;
};

const std::string lines = "EXISTS (SELECT 1 FROM \"PRTest50\".COPTD COPTD WHERE COPTD.TD001 = COPTC.TC001 AND "
                          "COPTD.TD002 = COPTC.TC002";

std::vector<Shape> shapes()
{
    const std::string customer = conditionLine("COPTC", "TC004", "=", "C001", false);
    const std::string amount = conditionLine("COPTC", "TC029", ">=", "1500.5", true);
    const std::string pageOne =
        conditionList({customer, amount}, "OR") + "\r\n  AND " + conditionLine("COPTC", "TC009", "<", "-1", true);
    const std::string body = conditionList(
        {conditionLine("COPTD", "TD004", "=", "A100", false), conditionLine("COPTD", "TD008", ">=", "10", true)}, "OR");
    return {
        {"Empty", "", "", {}},
        {"Blank", " \r\n ", "", {}},
        {"AllAnyCase", " aLL ", "", {}},
        {"AddModeNothing", "1=2", "1 = 0", {}},
        {"Everything", "1 = 1", "1 = 1", {}},
        {"KeyRows",
         keyRows("COPTC", {{"TC001", "=", "2201"}, {"TC002", "like", "0305"}, {"TC003", ">=", ""}}),
         "(COPTC.TC001 = ? AND COPTC.TC002 LIKE ? ESCAPE '\\')",
         {"2201", "0305%"}},
        {"KeyConditionWithAlias",
         "H.TC001 = '2201' and h.TC002 = '0001'",
         "(COPTC.TC001 = ? AND COPTC.TC002 = ?)",
         {"2201", "0001"}},
        {"ConditionListAndBeforeOr",
         pageOne,
         "(COPTC.TC004 = ? OR (COPTC.TC029 >= ? AND COPTC.TC009 < ?))",
         {"C001", 1500.5, -1}},
        {"LineFilterWithHeadAndPrefix",
         lineFilter("(" + pageOne + ")", body, "PRTest50"),
         "((COPTC.TC004 = ? OR (COPTC.TC029 >= ? AND COPTC.TC009 < ?)) AND " + lines +
             " AND (COPTD.TD004 = ? OR COPTD.TD008 >= ?)))",
         {"C001", 1500.5, -1, "A100", 10}},
        // The head part is not put in parentheses by the window: AND binds first, as in SQL.
        {"LineFilterKeepsSqlPrecedence",
         lineFilter(conditionList({customer, amount}, "OR"), "", "PRTest50"),
         "(COPTC.TC004 = ? OR (COPTC.TC029 >= ? AND " + lines + ")))",
         {"C001", 1500.5}},
        {"LineFilterAloneWithoutPrefix",
         lineFilter("", body, ""),
         lines + " AND (COPTD.TD004 = ? OR COPTD.TD008 >= ?))",
         {"A100", 10}},
        {"LinksOnly", lineFilter("", "", "prtest50"), lines + ")", {}},
        {"LinksReversedAndLineFieldsUnqualified",
         " ( select count(*) FROM COPTD COPTD where (COPTD.TD002=COPTC.TC002) and (COPTD.TD001=COPTC.TC001) and "
         "( (TD004 = 'A100') and COPTC.TC004 = 'C001' ) ) > 0",
         lines + " AND (COPTD.TD004 = ? AND COPTC.TC004 = ?))",
         {"A100", "C001"}},
        {"LineFieldQualifiedWithTheHead",
         lineFilter("", conditionLine("COPTC", "TD004", "=", "A100", false), ""),
         lines + " AND COPTD.TD004 = ?)",
         {"A100"}},
        {"NumericLike",
         conditionLine("COPTC", "TC029", "like", "100", true),
         "NUMBER_TEXT(COPTC.TC029) LIKE ? ESCAPE '\\'",
         {"100%"}},
        {"QuotedNumberOnNumericColumn",
         "COPTC.TC029 = '1900' and COPTC.TC009 = ' 1.5 '",
         "(COPTC.TC029 = ? AND COPTC.TC009 = ?)",
         {1900, 1.5}},
        {"BareNumberOnTextColumnKeepsItsText",
         "TC001 = 2201 and TC002 = 0001",
         "(COPTC.TC001 = ? AND COPTC.TC002 = ?)",
         {"2201", "0001"}},
        {"QuotesDoubledAndWideText",
         conditionLine("COPTC", "TC015", "like", "客户's 备注", false),
         "COPTC.TC015 LIKE ? ESCAPE '\\'",
         {"客户's 备注%"}},
        {"BackslashIsLiteralInLike",
         "TC015 like 'C:\\dir%' and TC015 = 'C:\\dir'",
         "(COPTC.TC015 LIKE ? ESCAPE '\\' AND COPTC.TC015 = ?)",
         {"C:\\\\dir%", "C:\\dir"}},
        {"HostileTextIsAValue", "TC015 = '''; DROP TABLE COPTC; --'", "COPTC.TC015 = ?", {"'; DROP TABLE COPTC; --"}},
        {"OtherOperators",
         "not (TC004 <> 'C1') and TC004 != 'C2' and TC004 NOT LIKE 'X%' and TC015 is not null and TC010 IS NULL",
         "(NOT (COPTC.TC004 <> ?) AND COPTC.TC004 <> ? AND COPTC.TC004 NOT LIKE ? ESCAPE '\\' AND "
         "COPTC.TC015 IS NOT NULL AND COPTC.TC010 IS NULL)",
         {"C1", "C2", "X%"}},
        {"NamesInAnyCase",
         "coptc.tc001 = '1' AnD Tc002 LIKE '2%' oR tc003<='3'",
         "((COPTC.TC001 = ? AND COPTC.TC002 LIKE ? ESCAPE '\\') OR COPTC.TC003 <= ?)",
         {"1", "2%", "3"}},
        {"AuditColumns",
         "COPTC.CREATE_DATE >= '20250101' and FLAG > 0",
         "(COPTC.CREATE_DATE >= ? AND COPTC.FLAG > ?)",
         {"20250101", 0}},
        {"NestedParentheses",
         "((TC001 = '1' or (TC001 = '2')) and (TC002 = '3'))",
         "((COPTC.TC001 = ? OR COPTC.TC001 = ?) AND COPTC.TC002 = ?)",
         {"1", "2", "3"}},
    };
}

class ClientQueryTest : public ::testing::TestWithParam<Shape> {};

TEST_P(ClientQueryTest, BindsToSchemaNamesAndParameters)
{
    const Shape& c = GetParam();
    QueryScope scope = QueryScope::forTables("COPTC", "COPTD", "PRTest50");
    scope.withHeadAlias("H");
    const ClientQuery query = bindClientQuery(scope, SqliteDialect(), c.condition, "");
    EXPECT_EQ(query.where, c.sql) << c.condition;
    EXPECT_EQ(query.params, c.params) << c.condition;
    // The backends differ only in how they address the line table, which is the same here, and in
    // how they write a like (what it selects: ClientQueryDbTest).
    if (c.sql.find(" LIKE ") == std::string::npos) {
        EXPECT_EQ(bindClientQuery(scope, PostgresDialect(), c.condition, "").where, c.sql);
    }
}

INSTANTIATE_TEST_SUITE_P(Client, ClientQueryTest, ::testing::ValuesIn(shapes()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ClientQueryTest, OrderTextsBecomeSchemaColumns)
{
    const struct {
        std::string order;
        std::string sql;
    } cases[] = {
        {"", ""},
        {"  ", ""},
        {"TC003 asc,TC001 desc", "COPTC.TC003 ASC, COPTC.TC001 DESC"},
        {" tc003 , COPTC.tc001 DESC ", "COPTC.TC003 ASC, COPTC.TC001 DESC"},
        {"TC001,TC002", "COPTC.TC001 ASC, COPTC.TC002 ASC"},
        {"h.TC029 Desc", "COPTC.TC029 DESC"},
    };
    QueryScope scope = QueryScope::forTables("COPTC", "COPTD", "PRTest50");
    scope.withHeadAlias("H");
    for (const auto& c : cases)
        EXPECT_EQ(bindClientQuery(scope, SqliteDialect(), "", c.order).orderBy, c.sql) << c.order;
}

} // namespace
} // namespace orvane::test
