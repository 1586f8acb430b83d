// Packets, deltas and apply results as variants; providers across dispatch.

#include "OrderFixture.h"

#include "platform/data/DataSetError.h"
#include "platform/data/DispatchProvider.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvane::test {
namespace {

// Rows equal value by value, nested rows included.
bool sameRows(const std::vector<PacketRow>& a, const std::vector<PacketRow>& b)
{
    return std::ranges::equal(a, b, [](const PacketRow& x, const PacketRow& y) {
        return x.values == y.values && std::ranges::equal(x.nested, y.nested, sameRows);
    });
}

TEST(PacketTest, PacketsRoundTripThroughVariants)
{
    const DataPacket packet = orderProvider()->getRecords(2, Variant(), true);
    const DataPacket back = DataPacket::fromVariant(packet.toVariant());
    EXPECT_FALSE(back.endOfData);
    ASSERT_EQ(back.fields.size(), packet.fields.size());
    EXPECT_EQ(back.fields[5].nested.size(), 6U);
    EXPECT_EQ(back.fields[5].nested[5].nested[4].name, "TM006");
    EXPECT_EQ(back.fields[1].size, 11);
    EXPECT_TRUE(sameRows(back.rows, packet.rows));
}

TEST(PacketTest, DeltasAndResultsRoundTripThroughVariants)
{
    OrderDataSets data(orderProvider());
    data.open();
    data.body1.deleteRecord();
    setValue(data.main, "TC029", "12.5");
    appendRecord(data.main, {{"TC002", "0100"}});
    const Delta delta = data.main.delta();
    const Delta back = Delta::fromVariant(delta.toVariant());
    ASSERT_EQ(back.records.size(), 2U);
    EXPECT_EQ(back.changeCount(), 3);
    EXPECT_EQ(back.records[0].kind, UpdateStatus::Modified);
    EXPECT_EQ(back.records[0].recordId, delta.records[0].recordId);
    EXPECT_EQ(back.records[0].current, delta.records[0].current);
    EXPECT_EQ(back.records[0].nested[0][0].kind, UpdateStatus::Deleted);
    EXPECT_EQ(back.records[1].kind, UpdateStatus::Inserted);
    EXPECT_TRUE(back.records[1].original.empty());

    ApplyResult result;
    result.applied = false;
    result.errorCount = 1;
    result.errors.push_back({42, UpdateStatus::Deleted, "gone", "table TC002=0001", 7, {Variant(1), Variant::null()}});
    const ApplyResult again = ApplyResult::fromVariant(result.toVariant());
    EXPECT_FALSE(again.applied);
    ASSERT_EQ(again.errors.size(), 1U);
    EXPECT_EQ(again.errors[0].recordId, 42U);
    EXPECT_EQ(again.errors[0].kind, UpdateStatus::Deleted);
    EXPECT_EQ(again.errors[0].context, "table TC002=0001");
    EXPECT_EQ(again.errors[0].previousError, 7);
    EXPECT_EQ(again.errors[0].currentValues, result.errors[0].currentValues);
}

Variant field(const char* name, const char* type, Variant nested = Variant::arrayOf({}))
{
    return Variant::arrayOf({Variant(name), Variant(type), Variant(4), Variant(false), std::move(nested)});
}

Variant row(std::vector<Variant> values, std::vector<Variant> nested = {})
{
    return Variant::arrayOf({Variant::arrayOf(std::move(values)), Variant::arrayOf(std::move(nested))});
}

TEST(PacketTest, MalformedPacketsGiveClearErrors)
{
    const Variant fields = Variant::arrayOf({field("A", "String")});
    const Variant rows = Variant::arrayOf({row({Variant("x")})});
    const std::pair<Variant, const char*> cases[] = {
        {Variant("packet"), "Data packet: expected an array, found String"},
        {Variant::arrayOf({fields, rows}), "expected at least 3 elements"},
        {Variant::arrayOf({fields, rows, Variant(1)}), "end-of-data flag: expected a boolean"},
        {Variant::arrayOf({Variant::arrayOf({field("A", "Blob")}), rows, Variant(true)}), "unknown field type 'Blob'"},
        {Variant::arrayOf({Variant::arrayOf({field("A", "String"), field("A", "String")}), rows, Variant(true)}),
         "appears twice"},
        {Variant::arrayOf({fields, Variant::arrayOf({row({Variant("x"), Variant("y")})}), Variant(true)}),
         "row 1: expected 1 values, found 2"},
        {Variant::arrayOf({fields, Variant::arrayOf({Variant(3)}), Variant(true)}), "row 1: expected an array"},
        {Variant::arrayOf({Variant::arrayOf({field("N", "DataSet", Variant::arrayOf({field("B", "String")}))}),
                           Variant::arrayOf({row({Variant()}, {Variant::arrayOf({row({})})})}), Variant(true)}),
         "N row 1: expected 1 values, found 0"},
        {Variant::createArray(ArrayBounds{0, 1}, ArrayBounds{0, 1}), "one-dimensional"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_TRUE(contains(errorOf<PacketError>([&] { DataPacket::fromVariant(value); }), expected));
    }
    EXPECT_THROW(Delta::fromVariant(Variant::arrayOf(
                     {fields, Variant::arrayOf({Variant::arrayOf({Variant(1), Variant(9), Variant::arrayOf({}),
                                                                  Variant::arrayOf({}), Variant::arrayOf({})})})})),
                 PacketError);
    EXPECT_THROW(ApplyResult::fromVariant(Variant::arrayOf({Variant(true), Variant(-1), Variant::arrayOf({})})),
                 PacketError);
}

TEST(PacketTest, ValuesThatDoNotFitTheDatasetAreClearErrors)
{
    auto provider = std::make_shared<MemoryProvider>(std::vector<FieldDef>{FieldDef::string("QTY", 10)});
    provider->addRow({{Variant("many")}, {}});
    ClientDataSet dataSet("cdsQty");
    dataSet.addField(FieldDef::of("QTY", FieldType::Float));
    dataSet.setProvider(provider);
    const std::string error = errorOf<PacketError>([&] { dataSet.open(); });
    EXPECT_TRUE(contains(error, "QTY"));
    EXPECT_TRUE(contains(error, "many"));
    EXPECT_FALSE(dataSet.active());
}

TEST(PacketTest, ProvidersAnswerAcrossDispatch)
{
    auto host = std::make_shared<ProviderHost>("TavIS52S.Class1");
    auto memory = orderProvider();
    host->addProvider("pvdMain", memory);
    OrderDataSets data(std::make_shared<DispatchProvider>(host, "pvdMain"));
    data.main.setPacketRecords(2);
    data.open();
    EXPECT_EQ(data.main.recordCount(), 2);
    data.main.fetchAll();
    EXPECT_EQ(data.main.recordCount(), 3);
    setValue(data.main, "TC004", "C010");
    memory->setFailureHook([](const DeltaRecord&) { return std::optional<std::string>("locked"); });
    int reconciled = 0;
    data.main.onReconcileError = [&](ClientDataSet&, const ReconcileError& error, ReconcileAction&) {
        EXPECT_EQ(error.message, "locked");
        ++reconciled;
    };
    EXPECT_EQ(data.main.applyUpdates(0), 1);
    EXPECT_EQ(reconciled, 1);
    memory->setFailureHook(nullptr);
    EXPECT_EQ(data.main.applyUpdates(0), 0);
    EXPECT_EQ(memory->rows()[0].values[2], Variant("C010"));

    std::vector<Variant> args{Variant("pvdNone"), Variant(1), Variant(), Variant(true)};
    EXPECT_THROW(host->invoke("AS_GetRecords", args), DispatchError);
    std::vector<Variant> apply{Variant("pvdMain"), Variant("not a delta"), Variant(0), Variant(0)};
    EXPECT_THROW(host->invoke("AS_ApplyUpdates", apply), PacketError);
}

} // namespace
} // namespace orvane::test
