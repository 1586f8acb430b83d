// Values checked against stored columns: UTF-8 character counts and what a client value
// becomes in a text or number column.
#include "server/salesorder/StoredValue.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvane::test {
namespace {

TEST(StoredValueTest, Utf8LengthCountsCharactersAndRefusesBrokenText)
{
    const std::vector<std::pair<std::string, std::optional<std::size_t>>> cases = {
        {"", 0},
        {"ABC", 3},
        {"订单", 2},
        {"A订€😀", 4},
        {"\xE8\xAE", std::nullopt},             // cut inside a character
        {"\xC0\xAF", std::nullopt},             // overlong "/"
        {"\xED\xA0\x80", std::nullopt},         // a surrogate
        {"\xF4\x90\x80\x80", std::nullopt},     // past U+10FFFF
        {std::string("A\0B", 3), std::nullopt}, // NUL, which PostgreSQL cannot store
        {"\xB6\xA9\xB5\xA5", std::nullopt},     // GBK bytes, not UTF-8
    };
    for (const auto& [text, length] : cases)
        EXPECT_EQ(utf8Length(text), length) << text;
}

TEST(StoredValueTest, ClientValuesAreFittedToTheirColumn)
{
    const ColumnDef code = column::text("TC004", 4, "customer");
    const ColumnDef amount = column::number("TC029", "amount");
    const ColumnDef flag = column::integer("FLAG", "changes");
    const std::string outOfRange = " is out of range: a stored number is finite and below 1e15 in size";
    struct Case {
        const ColumnDef* column;
        Variant value;
        Variant stored;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {&code, Variant("C001"), Variant("C001"), ""},
        {&code, Variant("客户编号"), Variant("客户编号"), ""},
        {&code, Variant("C0001"), Variant(), "Field TC004: the value 'C0001' has 5 characters; at most 4 fit"},
        {&code, Variant(12), Variant("12"), ""},
        {&code, Variant::null(), Variant(""), ""},
        {&code, Variant::arrayOf({"C001"}), Variant(), "Field TC004: a Array cannot be stored"},
        {&amount, Variant(12), Variant(12.0), ""},
        {&amount, Variant("1.5"), Variant(1.5), ""},
        {&amount, Variant(""), Variant(0.0), ""},
        {&amount, Variant(), Variant(0.0), ""},
        {&amount, Variant("1,500"), Variant(), "Field TC029: the value '1,500' is not a number"},
        // Infinite or huge amounts would turn the customer's running totals into NULL or lose cents.
        {&amount, Variant(999999999999999.0), Variant(999999999999999.0), ""},
        {&amount, Variant(1e15), Variant(), "Field TC029: the value '1E15'" + outOfRange},
        {&amount, Variant(-1e308), Variant(), "Field TC029: the value '-1E308'" + outOfRange},
        {&amount, Variant(std::numeric_limits<double>::infinity()), Variant(), "Field TC029: the value 'INF'" + outOfRange},
        {&amount, Variant(std::numeric_limits<double>::quiet_NaN()), Variant(), "Field TC029: the value 'NAN'" + outOfRange},
        {&amount, Variant("1e308"), Variant(), "Field TC029: the value '1e308'" + outOfRange},
        {&amount, Variant(std::int64_t{1} << 60), Variant(), "Field TC029: the value '1152921504606846976'" + outOfRange},
        {&flag, Variant(2.0), Variant(2), ""},
        {&flag, Variant(1e19), Variant(), "Field FLAG: the value '1E19'" + outOfRange},
        {&flag, Variant("1000000000000000"), Variant(), "Field FLAG: the value '1000000000000000'" + outOfRange},
        {&flag, Variant("2.5"), Variant(), "Field FLAG: the value '2.5' is not a whole number"},
    };
    for (const Case& c : cases) {
        const StoredFit fit = fitColumn(*c.column, c.value);
        EXPECT_EQ(fit.problem, c.problem);
        if (c.problem.empty()) {
            EXPECT_EQ(fit.value, c.stored) << c.value.toString();
        }
    }
    const StoredFit longText = fitColumn(code, Variant(std::string(60, 'x')));
    EXPECT_EQ(longText.problem,
              "Field TC004: the value '" + std::string(40, 'x') + "...' has 60 characters; at most 4 fit");
}

} // namespace
} // namespace orvane::test
