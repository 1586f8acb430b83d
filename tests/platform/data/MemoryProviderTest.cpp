// The in-memory provider: keys, cascades, conflicts and all-or-nothing applies.

#include "OrderFixture.h"

#include "platform/data/DataSetError.h"
#include "platform/data/FilterExpression.h"

#include "support/Contains.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

Delta headDelta(std::vector<DeltaRecord> records)
{
    auto fields = headFields();
    return Delta{std::move(fields), std::move(records)};
}

std::vector<Variant> headValues(const char* no, const char* customer, double flag)
{
    return {Variant("2201"), Variant(no), Variant(customer), Variant(0.0), Variant(flag), Variant()};
}

TEST(MemoryProviderTest, KeyViolationsConflictsAndMissingRecordsAreReportedPerRecord)
{
    auto provider = orderProvider();
    std::vector<Variant> changed(6);
    changed[2] = Variant("C100");
    const Delta delta = headDelta({
        {1, UpdateStatus::Inserted, {}, headValues("0001", "C9", 1), {{}}},        // key exists
        {2, UpdateStatus::Modified, headValues("0002", "C002", 5), changed, {{}}}, // FLAG differs
        {3, UpdateStatus::Deleted, headValues("0042", "C042", 1), {}, {{}}},       // no such record
        {4, UpdateStatus::Inserted, {}, headValues("0004", "C4", 1), {{}}},        // fine
    });
    const ApplyResult result = provider->applyUpdates(delta, -1);
    EXPECT_TRUE(result.applied);
    ASSERT_EQ(result.errorCount, 3);
    EXPECT_EQ(result.errors[0].recordId, 1U);
    EXPECT_TRUE(contains(result.errors[0].message, "Key violation"));
    EXPECT_TRUE(contains(result.errors[1].message, "field FLAG"));
    EXPECT_EQ(result.errors[1].currentValues[4], Variant(1.0));
    EXPECT_EQ(result.errors[2].kind, UpdateStatus::Deleted);
    EXPECT_TRUE(contains(result.errors[2].context, "TC002=0042"));
    EXPECT_EQ(provider->rows().size(), 4U);
}

TEST(MemoryProviderTest, MaxErrorsDecidesBetweenPartialAndNothing)
{
    const Delta delta = headDelta({
        {1, UpdateStatus::Inserted, {}, headValues("0001", "C9", 1), {{}}},
        {2, UpdateStatus::Inserted, {}, headValues("0005", "C5", 1), {{}}},
    });
    const std::pair<int, std::size_t> cases[] = {{0, 3}, {1, 4}, {-1, 4}};
    for (const auto& [maxErrors, rowsAfter] : cases) {
        auto provider = orderProvider();
        const ApplyResult result = provider->applyUpdates(delta, maxErrors);
        EXPECT_EQ(result.errorCount, 1) << maxErrors;
        EXPECT_EQ(result.applied, rowsAfter == 4) << maxErrors;
        EXPECT_EQ(provider->rows().size(), rowsAfter) << maxErrors;
    }
}

TEST(MemoryProviderTest, BadConditionsOrdersAndDeltaFieldsAreErrors)
{
    auto provider = orderProvider();
    EXPECT_THROW(provider->getRecords(-1, Variant::arrayOf({Variant("TC099 = 1"), Variant("")}), true), DataSetError);
    EXPECT_THROW(provider->getRecords(-1, Variant::arrayOf({Variant(""), Variant("TC099")}), true), DataSetError);
    EXPECT_THROW(provider->getRecords(-1, Variant::arrayOf({Variant(""), Variant("TC002 sideways")}), true),
                 DataSetError);
    Delta delta{{FieldDef::string("NOPE", 4)}, {{1, UpdateStatus::Inserted, {}, {Variant("x")}, {}}}};
    EXPECT_THROW(provider->applyUpdates(delta, 0), PacketError);
    EXPECT_THROW(provider->addRow({{Variant("x")}, {}}), PacketError);
}

TEST(MemoryProviderTest, MetadataOnlyPacketsAndPacketsAfterTheEnd)
{
    auto provider = orderProvider();
    DataPacket packet = provider->getRecords(0, Variant(), true);
    EXPECT_TRUE(packet.rows.empty());
    EXPECT_FALSE(packet.endOfData);
    EXPECT_EQ(packet.fields.size(), 6U);
    packet = provider->getRecords(-1, Variant(), false);
    EXPECT_EQ(packet.rows.size(), 3U);
    EXPECT_TRUE(packet.endOfData);
    packet = provider->getRecords(5, Variant(), false);
    EXPECT_TRUE(packet.rows.empty());
    EXPECT_TRUE(packet.endOfData);
}

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
