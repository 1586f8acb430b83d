// Refused input: every text that is not a condition or order the client builds gets a
// QueryError that names what is wrong, and nothing reaches the database.
#include "server/db/SqliteDialect.h"
#include "server/query/ClientQuery.h"
#include "server/schema/Tables.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace orvane::test {
namespace {

struct Refusal {
    const char* name;
    std::string condition;
    std::string order;
    std::string expected; // a part of the error text
};

std::string lineCount(const std::string& source, const std::string& links, const std::string& tail = " > 0 ")
{
    return " ( select count(*) FROM " + source + " where " + links + ")" + tail;
}

const std::string links = " (COPTC.TC001=COPTD.TD001) and  (COPTC.TC002=COPTD.TD002)";

std::vector<Refusal> refusals()
{
    return {
        {"StackedStatement", "TC001 = '2201'; DROP TABLE COPTC", "", "';' is not accepted"},
        {"LineComment", "TC001 = '2201' -- and TC002 = '1'", "", "comments are not accepted"},
        {"CommentAfterNumber", "COPTC.TC029 = 5--", "", "comments are not accepted"},
        {"BlockComment", "TC001 = '2201' /* x */", "", "comments are not accepted"},
        {"UnknownColumn", "COPTC.TC999 = '1'", "", "unknown column 'COPTC.TC999'"},
        {"OtherTable", "COPMA.MA001 = 'C001'", "", "unknown table 'COPMA'"},
        {"LineColumnOutsideCount", "COPTD.TD004 = 'A100'", "", "only inside the line count"},
        {"FunctionCall", "UPPER(TC001) = '2201'", "", "function calls are not accepted: UPPER"},
        {"QualifiedFunction", "COPTC.LOWER(TC001) = '2201'", "", "function calls are not accepted"},
        {"InSubSelect", "TC001 in (select TC001 from COPTC)", "", "expected an operator"},
        {"ValueSubSelect", "TC001 = (select max(TC001) from COPTC)", "", "only as the line count"},
        {"OtherSubSelect", "(select TC001 from COPTC) > 0", "", "only as the line count"},
        {"CountOfOtherTable", lineCount("COPMA COPMA", " (COPTC.TC004=COPMA.MA001)"), "", "can read only COPTD"},
        {"CountInOtherDatabase", lineCount("Other..COPTD COPTD", links), "", "company database 'Other'"},
        {"CountMissingLink", lineCount("COPTD COPTD", " (COPTC.TC001=COPTD.TD001)"), "", "lacks the link"},
        {"CountWrongLink", lineCount("COPTD COPTD", " (COPTC.TC001=COPTD.TD002) and (COPTC.TC002=COPTD.TD001)"), "",
         "is not a link of COPTD"},
        {"CountLinkTwice", lineCount("COPTD COPTD", links + " and (COPTD.TD001=COPTC.TC001)"), "", "given twice"},
        {"CountOtherComparison", lineCount("COPTD COPTD", links, " > 1 "), "", "only as '> 0'"},
        {"CountOtherAlias", lineCount("COPTD D", " (COPTC.TC001=D.TD001) and (COPTC.TC002=D.TD002)"), "",
         "must be named COPTD"},
        {"CountWithoutLinks", lineCount("COPTD COPTD", " (COPTD.TD004 = 'A100')"), "", "starts with its links"},
        {"CountNested", lineCount("COPTD COPTD", links + " and " + lineCount("COPTD COPTD", links)), "",
         "cannot be nested"},
        {"CountOrWithoutParentheses", lineCount("COPTD COPTD", links + " and (TD004 = 'A') or (TD004 = 'B')"), "",
         "joined by OR must be put in parentheses"},
        {"UnbalancedQuote", "TC001 = '2201", "", "no closing quote"},
        {"UnclosedParenthesis", "((TC001 = '2201')", "", "expected ')'"},
        {"ExtraParenthesis", "(TC001 = '2201'))", "", "')' has no matching '('"},
        {"DanglingOr", "TC001 = '2201' or", "", "expected a column name, found the end"},
        {"TextInNumericColumn", "COPTC.TC029 = 'abc'", "", "'abc' is not a number, and COPTC.TC029 holds numbers"},
        {"EqualsNull", "TC001 = NULL", "", "IS NULL"},
        {"BarePatternWithoutLike", "COPTC.TC029 = 100%", "", "text values are written in quotes"},
        {"BareWord", "TC001 = abc", "", "expected a value"},
        {"ValueFirst", "'2201' = TC001", "", "starts with a column name"},
        {"QuotedName", "\"TC001\" = '2201'", "", "quoted names are not accepted"},
        {"WideTextOutsideQuotes", "TC004 = 客户", "", "other than ASCII"},
        {"NulByte", std::string("TC001 = '22\0' ", 14), "", "NUL byte"},
        {"ThreePartName", "PRTest50.COPTC.TC001 = '2201'", "", "not with more parts"},
        {"NotANumber", "COPTC.TC029 = 1.2.3", "", "'1.2.3' is not a number"},
        {"HugeConstant", "1" + std::string(400, '0') + "=1", "", "out of range"},
        {"OrderUnknownColumn", "", "TC999 asc", "unknown column 'TC999'"},
        {"OrderLineColumn", "", "COPTD.TD004", "only inside the line count"},
        {"OrderEmptyItem", "", "TC003 asc,,TC001", "expected a column name, found ','"},
        {"OrderUnknownDirection", "", "TC003 sideways", "expected ',' or the end"},
    };
}

class QueryRefusalTest : public ::testing::TestWithParam<Refusal> {
protected:
    SqliteDialect dialect_;
    QueryScope scope_ = QueryScope::forTables("COPTC", "COPTD", "PRTest50");
};

TEST_P(QueryRefusalTest, IsRefusedWithAClearText)
{
    const Refusal& c = GetParam();
    try {
        bindClientQuery(scope_, dialect_, c.condition, c.order);
        FAIL() << "accepted: " << c.condition << " / " << c.order;
    } catch (const QueryError& e) {
        EXPECT_TRUE(contains(e.what(), c.expected));
        EXPECT_EQ(e.text(), c.order.empty() ? QueryText::Condition : QueryText::Order) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, QueryRefusalTest, ::testing::ValuesIn(refusals()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QueryRefusalTest, LimitsLengthDepthAndValueCountAreCapped)
{
    const QueryLimits limits{100, 4, 3};
    const struct {
        std::string condition;
        std::string order;
        std::string expected;
    } cases[] = {
        {"TC001 = '" + std::string(95, 'x') + "'", "", "is 105 bytes long; at most 100"},
        {"", "TC003 asc" + std::string(95, ' '), "is 104 bytes long"},
        {"(((((TC001 = '1')))))", "", "nested more than 4 levels"},
        {"not not not not not TC001 = '1'", "", "nested more than 4 levels"},
        {"TC001 = '1' or TC001 = '2' or TC001 = '3' or TC001 = '4'", "", "more than 3 values"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(contains(
            errorOf<QueryError>([&] { bindClientQuery(scope_, dialect_, c.condition, c.order, limits); }), c.expected));
    // Just inside the caps.
    EXPECT_NO_THROW(bindClientQuery(scope_, dialect_, "(((TC001 = '1'))) or TC001 = '2' or TC001 = '3'", "", limits));
}

TEST_F(QueryRefusalTest, LimitsDefaultCapsHoldAgainstHugeInput)
{
    EXPECT_THROW(bindClientQuery(scope_, dialect_, std::string(100000, '('), ""), QueryError);
    EXPECT_THROW(bindClientQuery(scope_, dialect_, std::string(64 * 1024 + 1, ' '), ""), QueryError);
    std::string many = "TC001 = '0'";
    for (int i = 1; i <= 1000; ++i)
        many += " or TC001 = '" + std::to_string(i) + "'";
    EXPECT_THROW(bindClientQuery(scope_, dialect_, many, ""), QueryError);
}

// Cut and spliced client texts: each is either bound or refused, never anything else.
TEST_F(QueryRefusalTest, RobustnessMangledTextsAreBoundOrRefused)
{
    const std::string seed = "(COPTC.TC004 = 'C''01')\r\n  OR (COPTC.TC029 like -1.5%) and not TC003 is null and " +
                             lineCount("PRTest50..COPTD COPTD", links + " and  ( (COPTD.TD004 <> '客户') ) ");
    const std::string pieces = "()'.,=<>!-%_* \n;\"/\\aZ09\x80";
    ASSERT_NO_THROW(bindClientQuery(scope_, dialect_, seed, ""));
    std::mt19937 random(20250120);
    for (int i = 0; i < 3000; ++i) {
        std::string text = seed;
        for (int edit = 0; edit < 3; ++edit) {
            const std::size_t at = random() % (text.size() + 1);
            switch (random() % 3) {
            case 0: text.insert(at, 1, pieces[random() % pieces.size()]); break;
            case 1: text.erase(at, 1 + random() % 8); break;
            default: text.resize(at); break;
            }
        }
        try {
            const ClientQuery query = bindClientQuery(scope_, dialect_, text, text.substr(0, random() % 12));
            EXPECT_EQ(std::count(query.where.begin(), query.where.end(), '?'), std::ssize(query.params)) << text;
        } catch (const QueryError&) {
        }
    }
}

TEST_F(QueryRefusalTest, ErrorNamesThePositionInTheClientText)
{
    try {
        bindClientQuery(scope_, dialect_, "(COPTC.TC001 = '2201')\r\n  AND (COPTC.TCX = '1')", "");
        FAIL();
    } catch (const QueryError& e) {
        EXPECT_EQ(e.position(), 32u);
        EXPECT_STREQ(e.what(), "Query condition refused at position 32: unknown column 'COPTC.TCX': table COPTC "
                               "has no column TCX");
    }
}

TEST_F(QueryRefusalTest, ScopeRefusesTablesThatDoNotBelongTogether)
{
    EXPECT_THROW(QueryScope::forTables("COPTC", "COPMA", "PRTest50"), std::invalid_argument);
    EXPECT_THROW(QueryScope::forTables("NOPE", "", "PRTest50"), std::invalid_argument);
    EXPECT_THROW(QueryScope::forTables("COPTC", "", "PR Test"), std::invalid_argument);
    QueryScope scope = QueryScope::forTables("COPTC", "COPTD", "PRTest50");
    EXPECT_THROW(scope.withHeadAlias("COPTD"), std::invalid_argument);
    EXPECT_THROW(scope.withHeadAlias("A;B"), std::invalid_argument);
}

TEST_F(QueryRefusalTest, ScopeHeadWithoutLinesRefusesTheLineCount)
{
    const QueryScope headOnly = QueryScope::forTables("COPTC", "", "PRTest50");
    EXPECT_TRUE(
        contains(errorOf<QueryError>([&] { bindClientQuery(headOnly, dialect_, lineCount("COPTD COPTD", links), ""); }),
                 "not accepted for table COPTC"));
}

} // namespace
} // namespace orvane::test
