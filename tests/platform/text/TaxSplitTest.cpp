#include "platform/text/TaxSplit.h"

#include "support/Contains.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

using namespace orvane::text;

// Currency, local currency, rate, tax type, exchange rate, decimals, local decimals,
// amount, and optionally quantity and price.
Variant input(std::vector<Variant> values, int lowBound = 0)
{
    Variant array = Variant::createArray(lowBound, lowBound + static_cast<int>(values.size()) - 1);
    for (std::size_t i = 0; i < values.size(); ++i)
        array[lowBound + static_cast<int>(i)] = values[i];
    return array;
}

struct SplitCase {
    const char* name;
    Variant values;
    TaxSplitResult expected; // net, tax, local net, local tax
};

// 27 at 17 % in the local currency, tax inside and on top: OrderLinesTest, through the order's line.
TEST(TaxSplitTest, AmountsInTheTransactionAndLocalCurrencyOrTheExactProduct)
{
    const SplitCase cases[] = {
        {"tax type 3: no tax", input({"RMB", "RMB", 0.17, "3", 1.0, 2, 2, 27.004}), {27.00, 0, 27.00, 0}},
        {"rate -1 divides by 1", input({"RMB", "RMB", -1.0, "1", 1.0, 2, 2, 100.0}), {200, -100, 200, -100}},
        {"negative amount, halves away from zero",
         input({"RMB", "RMB", 0.17, "2", 1.0, 2, 2, -2.5}),
         {-2.50, -0.43, -2.50, -0.43}},
        {"foreign, price excludes tax", input({"USD", "RMB", 0.17, "2", 6.8, 2, 0, 100.0}), {100, 17, 680, 116}},
        {"foreign, price includes tax", input({"USD", "RMB", 0.17, "1", 6.8, 2, 0, 117.0}), {100, 17, 796 - 116, 116}},
        {"text values and padded codes",
         input({"RMB ", " RMB", "0.17", " 1 ", "1", "2", "2", "27"}),
         {23.08, 3.92, 23.08, 3.92}},
        {"any lower bound", input({"RMB", "RMB", 0.17, "2", 1.0, 2, 2, 27.0}, 1), {27.00, 4.59, 27.00, 4.59}},
        {"product does not round to the amount",
         input({"RMB", "RMB", 0.17, "1", 1.0, 2, 2, 10.0, 3, 3.3}),
         {8.55, 1.45, 8.55, 1.45}},
        {"9 values ignore the quantity",
         input({"RMB", "RMB", 0.13, "2", 1.0, 2, 2, 10.0, 3}),
         {10.00, 1.30, 10.00, 1.30}},
        // When quantity x price rounds to the amount, the exact product is split, so
        // 3 x 3.335 = 10.005 taxes as 10.005 and not as 10.01.
        {"tax on the exact product",
         input({"RMB", "RMB", 0.5, "2", 1.0, 2, 2, 10.01, 3, 3.335}),
         {10.01, 5.00, 10.01, 5.00}},
        {"foreign, excludes tax: local base unrounded",
         input({"USD", "RMB", 0.17, "2", 6.85, 2, 2, 10.0, 3, 3.333}),
         {10.00, 1.70, 68.5, 11.64}},
        {"foreign, includes tax: local tax from the unrounded product (not from the amount: 9.963)",
         input({"USD", "RMB", 0.17, "1", 6.85, 2, 3, 10.01, 3, 3.335}),
         {8.56, 1.45, 68.569 - 9.958, 9.958}},
        {"foreign, no tax: product not used",
         input({"USD", "RMB", 0.17, "3", 6.8, 2, 0, 10.0, 3, 3.333}),
         {10.00, 0, 68, 0}},
        // Empty or short input gives zeros.
        {"unassigned", Variant(), {0, 0, 0, 0}},
        {"null", Variant::null(), {0, 0, 0, 0}},
        {"no values", Variant::createArray(0, -1), {0, 0, 0, 0}},
        {"no amount", input({"RMB", "RMB", 0.17, "2", 1.0, 2, 2}), {0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitTax(c.values), c.expected) << c.name;
}

TEST(TaxSplitTest, BadValuesNameTheirPosition)
{
    const std::pair<Variant, const char*> cases[] = {
        {input({"RMB", "RMB", "abc", "2", 1.0, 2, 2, 27.0}), "value 2 (tax rate): 'abc'"},
        {input({"RMB", "RMB", 0.17, "2", Variant::null(), 2, 2, 27.0}), "value 4 (exchange rate)"},
        {input({"RMB", "RMB", 0.17, "2", 1.0, "x", 2, 27.0}), "value 5 (transaction decimals)"},
        {input({"RMB", "RMB", 0.17, "2", 1.0, 2, 2, 10.0, 3, "p"}), "value 9 (unit price)"},
        {Variant("RMB"), "one-dimensional array, not String"},
        {Variant::createArray({0, 7}, {0, 1}), "not an array of two dimensions"},
    };
    for (const auto& [values, mentions] : cases) {
        EXPECT_TRUE(contains(errorOf<ConversionError>([&] { splitTax(values); }), mentions));
    }
}

TEST(TaxSplitTest, VariantArrayResult)
{
    const Variant result = splitTaxArray(input({"USD", "RMB", 0.17, "2", 6.8, 2, 0, 100.0}));
    EXPECT_EQ(result.lowBound(), 0);
    EXPECT_EQ(result.highBound(), 3);
    EXPECT_EQ(result[static_cast<int>(TaxPart::LocalTax)], Variant(116.0));
    EXPECT_EQ(result[static_cast<int>(TaxPart::Net)], Variant(100.0));
}

} // namespace
} // namespace orvane::test
