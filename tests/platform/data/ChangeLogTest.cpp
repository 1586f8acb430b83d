// The change log through nested levels: what a change at each level puts in the delta, and how
// cancel, revert of one record and merge undo or accept it; reconcile actions per failed record;
// packets smaller than the table; filters over double-byte text.

#include "OrderFixture.h"

#include "support/LocalText.h"

#include "platform/text/CodePage.h"

#include <gtest/gtest.h>

#include <functional>

namespace orvane::test {
namespace {

// The delta as text: per record its kind and key, then its nested records in brackets.
std::string summary(const std::vector<DeltaRecord>& records, int level = 0)
{
    static const char kinds[] = {'U', 'M', 'I', 'D'};
    static const std::size_t keyOfLevel[] = {1, 2, 4}; // TC002, TD003, TM006
    std::string text;
    for (const DeltaRecord& record : records) {
        const auto& values = record.kind == UpdateStatus::Inserted ? record.current : record.original;
        text += std::string(1, kinds[static_cast<int>(record.kind)]) + values.at(keyOfLevel[level]).toString();
        for (const auto& nested : record.nested)
            if (!nested.empty())
                text += "[" + summary(nested, level + 1) + "]";
        text += " ";
    }
    return text;
}

// Every head, line and sub-line with the values a change may touch, in order.
std::string contents(OrderDataSets& data)
{
    std::string text;
    for (data.main.first(); !data.main.eof(); data.main.next()) {
        text += data.main.fieldByName("TC002").asString() + data.main.fieldByName("TC004").asString() + "{";
        for (data.body1.first(); !data.body1.eof(); data.body1.next()) {
            text += data.body1.fieldByName("TD003").asString() + "=" + data.body1.fieldByName("TD008").asString();
            for (data.foot.first(); !data.foot.eof(); data.foot.next())
                text += "<" + data.foot.fieldByName("TM006").asString() + ">";
            text += " ";
        }
        text += "} ";
    }
    data.main.first();
    return text;
}

// A local dataset of GBK names, for the filters: a trail byte that looks like an ASCII letter
// is part of its character.
class ChangeLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        text::setInstallationCodePage(text::CodePage::Gbk);
        names.addFields({FieldDef::string("CODE", 4), FieldDef::string("NAME", 10)});
        names.createDataSet();
        const std::pair<const char*, std::string> rows[] = {
            {"A1", "\x81\x61"},                    // one character whose trail byte is 'a'
            {"B2", "a" + gbk("中")},               // an ASCII 'a' and a character
            {"C3", gbk("中文")},                   //
            {"D4", "\x81\x41" + std::string("b")}, // a character whose trail byte is 'A', then 'b'
        };
        for (const auto& [code, name] : rows) {
            names.append();
            names.fieldByName("CODE").setAsString(code);
            names.fieldByName("NAME").setAsString(name);
            names.post();
        }
        names.setFiltered(true);
    }
    void TearDown() override { text::setInstallationCodePage(saved); }
    // The codes of the records the filter lets through.
    std::string filtered(const std::string& filter)
    {
        names.setFilter(filter);
        std::string codes;
        for (names.first(); !names.eof(); names.next())
            codes += names.fieldByName("CODE").asString() + " ";
        return codes;
    }

    const text::CodePage saved = text::installationCodePage();
    ClientDataSet names{"cdsNames"};
};

using Script = std::function<void(OrderDataSets&)>;

struct NestedCase {
    const char* what;
    Script change;
    const char* delta;
    int changeCount;
};

const NestedCase nestedCases[] = {
    {"a sub-line modified",
     [](OrderDataSets& d) {
         d.foot.last();
         setValue(d.foot, "TM006", "P9");
     },
     "U0001[U0001[MP2 ] ] ", 1},
    {"a sub-line inserted under the second line of the second order",
     [](OrderDataSets& d) {
         d.main.next();
         appendRecord(d.foot, {{"TM003", "0001"}, {"TM006", "P5"}});
     },
     "U0002[U0001[IP5 ] ] ", 1},
    {"a line with sub-lines deleted", [](OrderDataSets& d) { d.body1.deleteRecord(); }, "U0001[D0001 ] ", 1},
    {"a new line with a sub-line under a stored order",
     [](OrderDataSets& d) {
         d.main.next();
         appendRecord(d.body1, {{"TD001", "2201"}, {"TD002", "0002"}, {"TD003", "0003"}});
         appendRecord(d.foot, {{"TM003", "0003"}, {"TM006", "P7"}});
     },
     "U0002[I0003[IP7 ] ] ", 2},
    {"an order deleted", [](OrderDataSets& d) { d.main.deleteRecord(); }, "D0001 ", 1},
    {"an order and one of its lines modified",
     [](OrderDataSets& d) {
         setValue(d.main, "TC004", "C9");
         d.body1.last();
         setValue(d.body1, "TD008", "8");
     },
     "M0001[M0002 ] ", 2},
    {"a new order with a line",
     [](OrderDataSets& d) {
         appendRecord(d.main, {{"TC001", "2201"}, {"TC002", "0009"}});
         appendRecord(d.body1, {{"TD001", "2201"}, {"TD002", "0009"}, {"TD003", "0001"}});
     },
     "I0009[I0001 ] ", 2},
    {"lines of two orders modified",
     [](OrderDataSets& d) {
         setValue(d.body1, "TD008", "1");
         d.main.next();
         setValue(d.body1, "TD008", "2");
     },
     "U0001[M0001 ] U0002[M0001 ] ", 2},
};

TEST_F(ChangeLogTest, NestedChangesMakeTheirDeltaAndCancelRestoresEveryLevel)
{
    for (const NestedCase& c : nestedCases) {
        SCOPED_TRACE(c.what);
        OrderDataSets data(orderProvider());
        data.open();
        const std::string before = contents(data);
        c.change(data);
        EXPECT_EQ(summary(data.main.delta().records), c.delta);
        EXPECT_EQ(data.main.changeCount(), c.changeCount);
        data.main.cancelUpdates();
        EXPECT_EQ(data.main.changeCount(), 0);
        EXPECT_EQ(summary(data.main.delta().records), "");
        EXPECT_EQ(contents(data), before);
    }
}

TEST_F(ChangeLogTest, MergeAcceptsNestedChangesAndApplyStoresThem)
{
    for (const NestedCase& c : nestedCases) {
        SCOPED_TRACE(c.what);
        OrderDataSets merged(orderProvider());
        merged.open();
        c.change(merged);
        const std::string changed = contents(merged);
        merged.main.mergeChangeLog();
        EXPECT_EQ(merged.main.changeCount(), 0);
        merged.main.cancelUpdates();
        EXPECT_EQ(contents(merged), changed) << "a merged change is no longer undone";
        const std::string key = merged.main.fieldByName("TC002").asString();
        setValue(merged.main, "TC004", "Z");
        EXPECT_EQ(summary(merged.main.delta().records), "M" + key + " ") << "merged changes are not sent again";

        auto provider = orderProvider();
        OrderDataSets applied(provider);
        applied.open();
        c.change(applied);
        ASSERT_EQ(applied.main.applyUpdates(0), 0);
        EXPECT_EQ(applied.main.changeCount(), 0);
        OrderDataSets reread(provider);
        reread.open();
        EXPECT_EQ(contents(reread), changed);
    }
}

TEST_F(ChangeLogTest, RevertingOneNestedRecordLeavesTheOtherChanges)
{
    const struct {
        const char* what;
        Script revert; // positioned on a record of the changes below, reverts it
        const char* delta;
        const char* contents;
    } cases[] = {
        {"one of two modified sub-lines",
         [](OrderDataSets& d) {
             d.foot.first();
             d.foot.revertRecord();
         },
         "U0001[U0001[MP2 ] M0002 ] ", "0001C001{0001=5<P1><P8> 0002=9 } 0002C002{0001=3 } 0003C003{} "},
        {"the line whose sub-lines changed", [](OrderDataSets& d) { d.body1.revertRecord(); }, "U0001[M0002 ] ",
         "0001C001{0001=5<P1><P2> 0002=9 } 0002C002{0001=3 } 0003C003{} "},
        {"the modified line",
         [](OrderDataSets& d) {
             d.body1.last();
             d.body1.revertRecord();
         },
         "U0001[U0001[MP1 MP2 ] ] ", "0001C001{0001=5<P7><P8> 0002=7 } 0002C002{0001=3 } 0003C003{} "},
        {"the order", [](OrderDataSets& d) { d.main.revertRecord(); }, "",
         "0001C001{0001=5<P1><P2> 0002=7 } 0002C002{0001=3 } 0003C003{} "},
        {"every changed record, one by one",
         [](OrderDataSets& d) {
             d.foot.first();
             d.foot.revertRecord();
             d.foot.last();
             d.foot.revertRecord();
             d.body1.last();
             d.body1.revertRecord();
         },
         "", "0001C001{0001=5<P1><P2> 0002=7 } 0002C002{0001=3 } 0003C003{} "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OrderDataSets data(orderProvider());
        data.open();
        setValue(data.foot, "TM006", "P7");
        data.foot.last();
        setValue(data.foot, "TM006", "P8");
        data.body1.last();
        setValue(data.body1, "TD008", "9");
        data.body1.first();
        c.revert(data);
        EXPECT_EQ(summary(data.main.delta().records), c.delta);
        EXPECT_EQ(contents(data), c.contents);
    }
}

// Two modified orders that another user saved meanwhile, reconciled with each action.
TEST_F(ChangeLogTest, EachReconcileActionDecidesWhatBecomesOfTheFailedRecords)
{
    const struct {
        ReconcileAction action;
        int handlerCalls;
        int pendingAfter;
        const char* contents;
    } cases[] = {
        {ReconcileAction::Skip, 2, 2, "0001X1 0002X2 0003C003 "},
        {ReconcileAction::Abort, 1, 2, "0001X1 0002X2 0003C003 "},
        {ReconcileAction::Merge, 2, 0, "0001X1 0002X2 0003C003 "},
        {ReconcileAction::Cancel, 2, 0, "0001C001 0002C002 0003C003 "},
        {ReconcileAction::Refresh, 2, 0, "0001S1 0002S2 0003C003 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.action));
        auto provider = orderProvider();
        OrderDataSets data(provider);
        data.open();
        setValue(data.main, "TC004", "X1");
        data.main.next();
        setValue(data.main, "TC004", "X2");
        for (int row = 0; row < 2; ++row) {
            provider->rows()[row].values[2] = Variant("S" + std::to_string(row + 1));
            provider->rows()[row].values[4] = Variant(2.0);
        }
        int calls = 0;
        data.main.onReconcileError = [&](ClientDataSet&, const ReconcileError&, ReconcileAction& action) {
            ++calls;
            action = c.action;
        };
        EXPECT_EQ(data.main.applyUpdates(-1), 2);
        EXPECT_EQ(calls, c.handlerCalls);
        EXPECT_EQ(data.main.changeCount(), c.pendingAfter);
        std::string heads;
        for (data.main.first(); !data.main.eof(); data.main.next())
            heads += data.main.fieldByName("TC002").asString() + data.main.fieldByName("TC004").asString() + " ";
        EXPECT_EQ(heads, c.contents);
    }
}

// Seven orders fetched three at a time: changes made in one packet survive fetching the next.
TEST_F(ChangeLogTest, PacketsSmallerThanTheTableKeepTheChangesMadeBetweenThem)
{
    auto provider = orderProvider();
    for (int i = 4; i <= 7; ++i)
        provider->addRow(headRow("000" + std::to_string(i), "C00" + std::to_string(i)));
    OrderDataSets data(provider);
    data.main.setPacketRecords(3);
    data.open();
    setValue(data.body1, "TD008", "50");
    const std::vector<int> packets{data.main.getNextPacket(), data.main.getNextPacket(), data.main.getNextPacket()};
    EXPECT_EQ(packets, (std::vector<int>{3, 1, 0}));
    EXPECT_TRUE(data.main.allFetched());
    EXPECT_EQ(data.main.recordCount(), 7);
    data.main.last();
    setValue(data.main, "TC004", "C77");
    EXPECT_EQ(summary(data.main.delta().records), "U0001[M0001 ] M0007 ");
    ASSERT_EQ(data.main.applyUpdates(0), 0);

    OrderDataSets onDemand(provider);
    onDemand.main.setPacketRecords(3);
    onDemand.main.setFetchOnDemand(true);
    onDemand.open();
    EXPECT_EQ(onDemand.main.recordCount(), 3);
    onDemand.main.last();
    EXPECT_EQ(onDemand.main.recordCount(), 7);
    EXPECT_EQ(onDemand.main.fieldByName("TC004").asString(), "C77");
    onDemand.main.first();
    EXPECT_EQ(onDemand.body1.fieldByName("TD008").asFloat(), 50);
}

TEST_F(ChangeLogTest, FiltersOverDoubleByteTextCompareWholeCharacters)
{
    const std::pair<std::string, const char*> cases[] = {
        {"NAME = '" + gbk("中文") + "'", "C3 "},
        {"NAME like '%" + gbk("文") + "'", "C3 "},
        {"NAME like '" + gbk("中") + "%'", "C3 "},
        {"UPPER(NAME) like '%B'", "D4 "},
        {"NAME like 'a%'", "B2 "},
        {"NAME like '%a%'", "B2 "}, // the trail byte 'a' of A1's character is no letter
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(filtered(filter), expected) << filter;
}

} // namespace
} // namespace orvane::test
