#include "server/db/DbError.h"
#include "server/db/PostgresDialect.h"
#include "server/db/SqliteDialect.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

struct SqlRewrite {
    const char* sql;
    const char* expected;
};

TEST(SqlDialectTest, PostgresMarkersSkipQuotesAndComments)
{
    const PostgresDialect pg;
    const SqlRewrite cases[] = {
        {"SELECT * FROM T WHERE A = ? AND B = ?", "SELECT * FROM T WHERE A = $1 AND B = $2"},
        {"SELECT '?' , ? FROM T", "SELECT '?' , $1 FROM T"},
        {"SELECT 'it''s ?', ?", "SELECT 'it''s ?', $1"},
        {"SELECT \"a?\" FROM T -- why?\nWHERE X = ?", "SELECT \"a?\" FROM T -- why?\nWHERE X = $1"},
        {"SELECT /* ? */ ?", "SELECT /* ? */ $1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pg.bindMarkers(c.sql), c.expected) << c.sql;
    EXPECT_EQ(SqliteDialect().bindMarkers("SELECT ?"), "SELECT ?");
}

TEST(SqlDialectTest, ClientCompanyPrefixBecomesQualifiedName)
{
    const SqliteDialect sqlite;
    const SqlRewrite cases[] = {
        {" SELECT MF005,MG006 FROM PRTest50..ADMMF  LEFT JOIN PRTest50..ADMMG on MG001=MF001",
         " SELECT MF005,MG006 FROM \"PRTest50\".ADMMF  LEFT JOIN \"PRTest50\".ADMMG on MG001=MF001"},
        {"select count(*) FROM PRTest50..COPTD COPTD where 'x..y' = A..", //
         "select count(*) FROM \"PRTest50\".COPTD COPTD where 'x..y' = A.."},
        {"SELECT 1..2", "SELECT 1..2"},
        {"SELECT MB002 FROM ADMMB AS ADMMB", "SELECT MB002 FROM ADMMB AS ADMMB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sqlite.mapCompanyPrefix(c.sql), c.expected) << c.sql;
}

TEST(SqlDialectTest, CompanyNamesMustBePlainIdentifiers)
{
    const SqliteDialect d;
    for (const char* bad : {"", "PR\"x", "a b", "x;DROP", "1abc", "公司"})
        EXPECT_THROW(d.companyTable(bad, "COPTC"), DbError) << bad;
    EXPECT_NO_THROW(d.companyTable("PRTest_50", "COPTC"));
}

TEST(SqlDialectTest, SqlHeadShortensStatements)
{
    EXPECT_EQ(sqlHead("SELECT  A,\n B FROM T"), "SELECT A, B FROM T");
    EXPECT_EQ(sqlHead("INSERT INTO COPTC (TC001, TC002) VALUES (?, ?)"), "INSERT INTO COPTC (TC001, TC002) ...");
}

} // namespace
} // namespace orvane::test
