// Client datasets: packets, nested details, the change log, clone cursors, applying with
// reconcile, and the save walk of the data modules.

#include "OrderFixture.h"

#include "platform/data/DataSetError.h"

#include "support/Contains.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

std::string column(DataSet& dataSet, const char* field)
{
    std::string result;
    for (dataSet.first(); !dataSet.eof(); dataSet.next()) {
        result += dataSet.fieldByName(field).asString() + " ";
    }
    return result;
}

TEST(ClientDataSetTest, FetchesInPacketsWithConditionAndOrder)
{
    auto provider = orderProvider();
    ClientDataSet main("cdsMain");
    main.setProvider(provider);
    main.setPacketRecords(2);
    main.setParams(Variant::arrayOf({Variant(""), Variant("TC002 desc")}));
    main.open();
    EXPECT_EQ(main.recordCount(), 2);
    EXPECT_FALSE(main.allFetched());
    EXPECT_EQ(main.fieldByName("TC002").asString(), "0003");
    EXPECT_EQ(main.getNextPacket(), 1);
    EXPECT_TRUE(main.allFetched());
    EXPECT_EQ(column(main, "TC002"), "0003 0002 0001 ");

    main.close();
    main.setParams(Variant::arrayOf({Variant("COPTC.TC004 = 'C002' or TC002='0003'"), Variant("")}));
    main.open();
    EXPECT_EQ(column(main, "TC002"), "0002 0003 ");

    main.close();
    main.setParams(Variant::arrayOf({Variant("1=2"), Variant("")}));
    main.open();
    EXPECT_TRUE(main.isEmpty());
    EXPECT_EQ(main.fieldCount(), 6);
}

// What the kinds and keys of a nested delta are, and how the details follow their master, the
// change log tests say; here: which values go.
TEST(ClientDataSetTest, ADeltaCarriesChangedValuesAndTheOriginalsButNoCompanionField)
{
    OrderDataSets data(orderProvider());
    data.open();
    EXPECT_TRUE(data.main.fieldByName("TC004C1").isNull()) << "no packet fills a companion field";
    data.body1.last();
    setValue(data.body1, "TD008", "8");

    const Delta delta = data.main.delta();
    EXPECT_EQ(delta.fields.size(), 6U) << "the companion field TC004C1 is not sent";
    ASSERT_EQ(delta.records.size(), 1U);
    ASSERT_EQ(delta.records[0].nested[0].size(), 1U);
    const DeltaRecord& line = delta.records[0].nested[0][0];
    EXPECT_TRUE(line.current[0].isUnassigned()) << "an unchanged value is not sent";
    EXPECT_EQ(line.current[3], Variant(8.0));
    EXPECT_EQ(line.original[3], Variant(7.0));
}

TEST(ClientDataSetTest, NewDocumentWithLinesAndCancelOfANewHead)
{
    OrderDataSets data(orderProvider());
    data.open();
    data.main.append();
    data.main.fieldByName("TC001").setAsString("2201");
    data.main.fieldByName("TC002").setAsString("0009");
    for (const char* no : {"0001", "0002"}) {
        appendRecord(data.body1, {{"TD001", "2201"}, {"TD002", "0009"}, {"TD003", no}});
        // regression: a posted line of a new head kept its sub-lines bound
        appendRecord(data.foot, {{"TM003", no}});
    }
    data.main.post();
    EXPECT_EQ(data.main.updateStatus(), UpdateStatus::Inserted);
    EXPECT_EQ(data.main.changeCount(), 5);
    EXPECT_EQ(data.main.applyUpdates(0), 0);

    data.main.append();
    appendRecord(data.body1, {{"TD003", "0001"}});
    data.main.cancel();
    EXPECT_EQ(data.main.recordCount(), 4);
    EXPECT_EQ(data.main.changeCount(), 0);
    EXPECT_EQ(column(data.body1, "TD003"), "0001 0002 ");
}

TEST(ClientDataSetTest, CloneCursorsShareRecordsButNotPosition)
{
    OrderDataSets data(orderProvider());
    data.open();
    ClientDataSet copy("LineCopy");
    copy.cloneCursor(data.body1);
    copy.setIndexFieldNames("TD008");
    copy.setFilter("TD008 > 5");
    copy.setFiltered(true);
    EXPECT_EQ(column(copy, "TD003"), "0002 ");
    EXPECT_EQ(data.body1.recNo(), 1);

    setValue(data.body1, "TD008", "9");
    EXPECT_EQ(column(copy, "TD003"), "0002 0001 ");

    copy.first();
    setValue(copy, "TD008", "1");
    data.body1.last();
    EXPECT_EQ(data.body1.fieldByName("TD008").asFloat(), 1);
    EXPECT_EQ(data.main.changeCount(), 2);

    data.main.append(); // the lines of a head that is then cancelled
    appendRecord(data.body1, {{"TD003", "0001"}});
    copy.setFiltered(false);
    copy.cloneCursor(data.body1);
    data.main.cancel();
    EXPECT_EQ(copy.recordCount(), 1) << "a clone keeps records its source dropped";
}

// The reconcile event sees each failed record; Skip leaves it as typed and pending.
TEST(ClientDataSetTest, ApplyWithNoErrorAllowedRollsBackAndReconciles)
{
    auto provider = orderProvider();
    OrderDataSets data(provider);
    data.open();
    std::vector<ReconcileError> seen;
    data.main.onReconcileError = [&](ClientDataSet&, const ReconcileError& error, ReconcileAction& action) {
        EXPECT_EQ(action, ReconcileAction::Skip);
        seen.push_back(error);
    };
    setValue(data.main, "TC004", "C009");
    data.main.next();
    setValue(data.main, "TC004", "C008");
    provider->rows()[1].values[4] = Variant(2.0); // another user saved order 0002 meanwhile

    EXPECT_EQ(data.main.applyUpdates(0), 1);
    ASSERT_EQ(seen.size(), 1U);
    EXPECT_TRUE(contains(seen[0].message, "changed by another user"));
    EXPECT_TRUE(contains(seen[0].context, "TC002=0002"));
    EXPECT_EQ(seen[0].updateKind, UpdateStatus::Modified);
    EXPECT_EQ(seen[0].serverValues[4], Variant(2.0));
    EXPECT_EQ(data.main.fieldByName("TC004").asString(), "C008");
    EXPECT_EQ(data.main.changeCount(), 2);
    EXPECT_EQ(provider->rows()[0].values[2], Variant("C001")) << "nothing was applied";

    data.main.onReconcileError = [](ClientDataSet&, const ReconcileError&, ReconcileAction& action) {
        action = ReconcileAction::Refresh;
    };
    EXPECT_EQ(data.main.applyUpdates(-1), 1);
    EXPECT_EQ(data.main.changeCount(), 0);
    EXPECT_EQ(provider->rows()[0].values[2], Variant("C009"));
    EXPECT_EQ(data.main.fieldByName("TC004").asString(), "C002");
    EXPECT_EQ(data.main.fieldByName("FLAG").asFloat(), 2);
}

TEST(ClientDataSetTest, LineErrorsGoToTheLineHandlerAndKeepOnlyThatLine)
{
    auto provider = orderProvider();
    provider->setFailureHook([](const DeltaRecord& record) -> std::optional<std::string> {
        if (record.kind == UpdateStatus::Modified && record.current.size() > 3 && record.current[3] == Variant(99.0)) {
            return std::string("quantity refused");
        }
        return std::nullopt;
    });
    OrderDataSets data(provider);
    data.open();
    int headErrors = 0;
    std::vector<std::string> lineErrors;
    data.main.onReconcileError = [&](ClientDataSet&, const ReconcileError&, ReconcileAction&) { ++headErrors; };
    data.body1.onReconcileError = [&](ClientDataSet& dataSet, const ReconcileError& error, ReconcileAction&) {
        lineErrors.push_back(dataSet.name() + ": " + error.message);
    };
    setValue(data.main, "TC004", "C007");
    setValue(data.body1, "TD008", "99");
    data.body1.last();
    setValue(data.body1, "TD008", "6");

    EXPECT_EQ(data.main.applyUpdates(-1), 1);
    EXPECT_EQ(headErrors, 0);
    EXPECT_EQ(lineErrors, (std::vector<std::string>{"cdsBody1: quantity refused"}));
    EXPECT_EQ(data.main.changeCount(), 1);
    EXPECT_EQ(data.main.updateStatus(), UpdateStatus::Unmodified);
    data.body1.first();
    EXPECT_EQ(data.body1.updateStatus(), UpdateStatus::Modified);
    EXPECT_EQ(data.body1.fieldByName("TD008").asFloat(), 99);
}

TEST(ClientDataSetTest, BindingAndOpeningMistakesAreClearErrors)
{
    ClientDataSet main("cdsMain");
    main.addFields(headFields());
    ClientDataSet lines("cdsBody1");
    EXPECT_THROW(lines.setDataSetField(main.fieldByName("TC001")), DataSetError);
    lines.setDataSetField(main.fieldByName("qryBody"));
    EXPECT_THROW(lines.open(), DataSetError);
    EXPECT_THROW(main.open(), DataSetError) << "no provider";
    main.createDataSet();
    lines.open();
    EXPECT_EQ(lines.fieldCount(), 6) << "fields taken from the master's nested definition";
    EXPECT_THROW(lines.append(), DataSetError) << "no master record";
}

} // namespace
} // namespace orvane::test
