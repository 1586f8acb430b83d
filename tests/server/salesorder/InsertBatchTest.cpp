// How many rows each INSERT statement of a batch carries.
#include "server/salesorder/InsertBatch.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

TEST(InsertBatchTest, StatementsCarryAsManyRowsAsTheLimitsAllow)
{
    struct Case {
        std::size_t rows;
        std::size_t columns;
        std::vector<std::size_t> statements;
    };
    const Case cases[] = {
        {0, 10, {}},          {1, 10, {1}},          {20, 60, {20}},
        {32, 10, {32}},       {70, 10, {32, 32, 6}}, {50, 200, {20, 20, 10}}, // 4,096 values hold 20 rows of 200
        {3, 5000, {1, 1, 1}}, // a row wider than the limit still goes, alone
    };
    for (const Case& c : cases)
        EXPECT_EQ(InsertBatch::statementRows(c.rows, c.columns), c.statements) << c.rows << " rows of " << c.columns;
}

} // namespace
} // namespace orvane::test
