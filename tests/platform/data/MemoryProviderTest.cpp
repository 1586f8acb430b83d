// The filter texts of datasets and of the in-memory provider: what a condition selects.

#include "platform/data/DataSetError.h"
#include "platform/data/FilterExpression.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

class ValueRow : public FilterRow {
public:
    explicit ValueRow(std::vector<Variant> values) : values_(std::move(values)) {}
    Variant value(int field) const override { return values_[static_cast<std::size_t>(field)]; }

private:
    std::vector<Variant> values_;
};

TEST(MemoryProviderTest, FilterExpressionComparesNumbersTextAndNull)
{
    const auto resolve = [](std::string_view name) { return name == "A" ? 0 : (name == "B" ? 1 : -1); };
    const ValueRow row({Variant("10"), Variant::null()});
    const std::pair<const char*, bool> cases[] = {
        {"A = 10", true},
        {"A > 9", true},
        {"A > '9'", false},
        {"A = '10'", true},
        {"B = 1", false},
        {"B <> 1", true},
        {"B is null", true},
        {"A is not null", true},
        {"B = null", true},
        {"A like '1_'", true},
        {"A not like '%0'", false},
        {"TRIM(' x ') = 'x'", true},
        {"LOWER('AB') = 'ab'", true},
        // 936: "乤" = 81 61 and "丄" = 81 41 are different characters; only ASCII letters change case:
        // "乤b" in upper case is "乤B".
        {"UPPER('\x81\x61\x62') = '\x81\x61\x42'", true},
        {"LOWER('\x81\x41') = '\x81\x61'", false},
        {"2 >= 2 and (1 = 0 or 'a' < 'b')", true},
        {"A = -10", false},
        {"A = 1.0e1", true},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(FilterExpression::parse(text, resolve).matches(row), expected) << text;
    }
    EXPECT_TRUE(FilterExpression::parse("  ", resolve).matchesAll());
    EXPECT_THROW(FilterExpression::parse("A = 1e", resolve), DataSetError);
    EXPECT_THROW(FilterExpression::parse("A is 1", resolve), DataSetError);
}

} // namespace
} // namespace orvane::test
