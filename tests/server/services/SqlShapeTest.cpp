#include "server/services/SqlShape.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

TEST(SqlShapeTest, MatchesWordsWithoutCaseAndBlanksAnyWidth)
{
    const SqlShape shape("SELECT A FROM @ . . T WHERE B = $ and C = $");
    const auto match = shape.match("  select a\tFROM PRTest50..t  WHERE B='x''y' AND C =  '张伟'");
    ASSERT_TRUE(match);
    EXPECT_EQ(match->words, std::vector<std::string>{"PRTest50"});
    EXPECT_EQ(match->literals, (std::vector<std::string>{"x'y", "张伟"}));
}

TEST(SqlShapeTest, AnythingBeyondTheShapeIsRefused)
{
    const SqlShape shape("SELECT A FROM T WHERE B = $");
    for (const char* text : {
             "SELECT A FROM T WHERE B = 'x'; DELETE FROM T", // a second statement
             "SELECT A FROM T WHERE B = 'x' OR 1 = 1",       // an added condition
             "SELECT A FROM T WHERE B = 'x' -- comment",     // a comment
             "SELECT A FROM T WHERE B = 'x' /* c */",
             "SELECT A FROM U WHERE B = 'x'",     // another table
             "SELECT A FROM T WHERE B = x",       // a word where a literal belongs
             "SELECT A FROM T WHERE B = 'x",      // an unterminated literal
             "SELECT A FROM \"T\" WHERE B = 'x'", // a quoted identifier
             "SELECT A FROM T WHERE B = 'x' UNION SELECT PASSWORD_HASH FROM SYS_USER",
             "",
         })
        EXPECT_FALSE(shape.match(text)) << text;
    EXPECT_TRUE(shape.match("SELECT A FROM T WHERE B = ''' OR ''1''=''1'")); // quotes stay inside the literal
}

} // namespace
} // namespace orvane::test
