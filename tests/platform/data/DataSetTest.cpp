// Datasets: states, navigation, posting on scroll, bookmarks, locate, filter, index,
// controls and data sources.

#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSetError.h"
#include "platform/data/DataSource.h"
#include "platform/data/SilentAbort.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataSet.addFields(
            {FieldDef::string("CODE", 4), FieldDef::string("NAME", 10), FieldDef::of("QTY", FieldType::Float)});
        dataSet.createDataSet();
        add("A1", "apple", 5);
        add("B2", "Banana", 2);
        add("C3", "cherry", 9);
        add("D4", "date", 2);
        dataSet.first();
    }

    void add(const char* code, const char* name, double qty)
    {
        dataSet.append();
        dataSet.fieldByName("CODE").setAsString(code);
        dataSet.fieldByName("NAME").setAsString(name);
        dataSet.fieldByName("QTY").setAsFloat(qty);
        dataSet.post();
    }

    std::string codes()
    {
        std::string result;
        const Bookmark mark = dataSet.bookmark();
        for (dataSet.first(); !dataSet.eof(); dataSet.next()) {
            result += dataSet.fieldByName("CODE").asString() + " ";
        }
        if (dataSet.bookmarkValid(mark)) {
            dataSet.gotoBookmark(mark);
        }
        return result;
    }

    std::string code() const { return dataSet.fieldByName("CODE").asString(); }

    ClientDataSet dataSet{"cdsTest"};
};

TEST_F(DataSetTest, NavigationSetsBofEofAndRecNo)
{
    EXPECT_TRUE(dataSet.bof());
    EXPECT_EQ(dataSet.recNo(), 1);
    dataSet.next();
    EXPECT_FALSE(dataSet.bof());
    EXPECT_EQ(code(), "B2");
    dataSet.last();
    EXPECT_TRUE(dataSet.eof());
    EXPECT_EQ(dataSet.recNo(), 4);
    dataSet.next();
    EXPECT_EQ(code(), "D4");
    EXPECT_EQ(dataSet.moveBy(-10), -3);
    EXPECT_TRUE(dataSet.bof());
    dataSet.setRecNo(3);
    EXPECT_EQ(code(), "C3");
    EXPECT_EQ(dataSet.recordCount(), 4);
}

TEST_F(DataSetTest, MovingPostsAnEditAndAFailedPostKeepsTheEdit)
{
    dataSet.edit();
    dataSet.fieldByName("QTY").setAsFloat(50);
    dataSet.next();
    EXPECT_EQ(dataSet.state(), DataSetState::Browse);
    dataSet.prior();
    EXPECT_EQ(dataSet.fieldByName("QTY").asFloat(), 50);

    dataSet.events.beforePost = [](DataSet&) { abortSilently(); };
    dataSet.edit();
    dataSet.fieldByName("QTY").setAsFloat(60);
    EXPECT_THROW(dataSet.next(), SilentAbort);
    EXPECT_EQ(dataSet.state(), DataSetState::Edit);
    EXPECT_EQ(code(), "A1");
    EXPECT_EQ(dataSet.fieldByName("QTY").asFloat(), 60);
    dataSet.cancel();
    EXPECT_EQ(dataSet.fieldByName("QTY").asFloat(), 50);
}

TEST_F(DataSetTest, EventsRunInOrder)
{
    std::vector<std::string> log;
    const auto record = [&log](const char* name) { return [&log, name](DataSet&) { log.emplace_back(name); }; };
    dataSet.events.beforeInsert = record("beforeInsert");
    dataSet.events.onNewRecord = record("newRecord");
    dataSet.events.afterInsert = record("afterInsert");
    dataSet.events.beforePost = record("beforePost");
    dataSet.events.afterPost = record("afterPost");
    dataSet.events.beforeScroll = record("beforeScroll");
    dataSet.events.afterScroll = record("afterScroll");
    dataSet.events.beforeEdit = record("beforeEdit");
    dataSet.events.afterEdit = record("afterEdit");
    dataSet.events.beforeDelete = record("beforeDelete");
    dataSet.events.afterDelete = record("afterDelete");
    dataSet.append();
    dataSet.fieldByName("CODE").setAsString("E5");
    dataSet.post();
    dataSet.edit();
    dataSet.deleteRecord();
    EXPECT_EQ(log, (std::vector<std::string>{"beforeInsert", "beforeScroll", "newRecord", "afterInsert", "afterScroll",
                                             "beforePost", "afterPost", "beforeEdit", "afterEdit", "beforeDelete",
                                             "beforeScroll", "afterDelete", "afterScroll"}));
}

TEST_F(DataSetTest, InsertCancelAndDelete)
{
    dataSet.setRecNo(2);
    dataSet.insert();
    EXPECT_EQ(dataSet.recordCount(), 4);
    dataSet.fieldByName("CODE").setAsString("X");
    dataSet.cancel();
    EXPECT_EQ(codes(), "A1 B2 C3 D4 ");
    EXPECT_EQ(code(), "B2");

    dataSet.insert();
    dataSet.fieldByName("CODE").setAsString("X");
    dataSet.post();
    EXPECT_EQ(codes(), "A1 X B2 C3 D4 ");

    dataSet.last();
    dataSet.deleteRecord();
    EXPECT_EQ(code(), "C3");
    dataSet.first();
    dataSet.deleteRecord();
    EXPECT_EQ(code(), "X");
    EXPECT_EQ(codes(), "X B2 C3 ");

    dataSet.append(); // nothing typed: moving away cancels it
    dataSet.first();
    EXPECT_EQ(dataSet.recordCount(), 3);
}

TEST_F(DataSetTest, EditOnAnEmptyDatasetInsertsAndDeleteOnEmptyIsRefused)
{
    ClientDataSet empty("cdsEmpty");
    empty.addField(FieldDef::string("CODE", 4));
    empty.createDataSet();
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(empty.bof() && empty.eof());
    EXPECT_THROW(empty.deleteRecord(), DataSetError);
    empty.edit();
    EXPECT_EQ(empty.state(), DataSetState::Insert);
}

TEST_F(DataSetTest, BookmarksSurviveOtherDeletesAndDieWithTheirRecord)
{
    dataSet.setRecNo(3);
    const Bookmark cherry = dataSet.bookmark();
    dataSet.first();
    const Bookmark apple = dataSet.bookmark();
    dataSet.deleteRecord();
    EXPECT_FALSE(dataSet.bookmarkValid(apple));
    EXPECT_THROW(dataSet.gotoBookmark(apple), DataSetError);
    dataSet.gotoBookmark(cherry);
    EXPECT_EQ(code(), "C3");
    EXPECT_EQ(dataSet.recNo(), 2);
    Bookmark freed = cherry;
    dataSet.freeBookmark(freed);
    EXPECT_FALSE(dataSet.bookmarkValid(freed));
}

TEST_F(DataSetTest, LocateByOneOrMoreFields)
{
    EXPECT_TRUE(dataSet.locate("NAME", Variant("banana"), {true, false}));
    EXPECT_EQ(code(), "B2");
    EXPECT_FALSE(dataSet.locate("NAME", Variant("banana")));
    EXPECT_EQ(code(), "B2");
    EXPECT_TRUE(dataSet.locate("NAME", Variant("ch"), {false, true}));
    EXPECT_EQ(code(), "C3");
    EXPECT_TRUE(dataSet.locate("QTY;NAME", Variant::arrayOf({Variant(2), Variant("date")})));
    EXPECT_EQ(code(), "D4");
    EXPECT_FALSE(dataSet.locate("QTY", Variant("not a number")));
    EXPECT_THROW(dataSet.locate("QTY;NAME", Variant(2)), DataSetError);
    EXPECT_THROW(dataSet.locate("NOPE", Variant(2)), DataSetError);
}

TEST_F(DataSetTest, FilterTextsAndPostedRecordsFollowingThem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"QTY=2", "B2 D4 "},
        {"CODE='C3'", "C3 "},
        {"QTY > 2 and QTY < 9", "A1 "},
        {"QTY >= 5 or CODE = B2", "A1 B2 C3 "},
        {"not (QTY = 2)", "A1 C3 "},
        {"UPPER(NAME) = 'BANANA'", "B2 "},
        {"NAME like '%e%'", "A1 C3 D4 "},
        {"QTY <> 2 and (NAME = 'apple' or NAME = 'cherry')", "A1 C3 "},
        {"1=2", ""},
        {"", "A1 B2 C3 D4 "},
    };
    dataSet.setFiltered(true);
    for (const auto& [filter, expected] : cases) {
        dataSet.setFilter(filter);
        EXPECT_EQ(codes(), expected) << filter;
        EXPECT_EQ(dataSet.recordCount(), static_cast<int>(std::string(expected).size() / 3)) << filter;
    }
    dataSet.setFiltered(false);
    EXPECT_EQ(codes(), "A1 B2 C3 D4 ");

    // A posted record follows the filter.
    dataSet.setFilter("QTY=2");
    dataSet.setFiltered(true);
    dataSet.first();
    dataSet.edit();
    dataSet.fieldByName("QTY").setAsFloat(3);
    dataSet.post();
    EXPECT_EQ(codes(), "D4 ");
}

TEST_F(DataSetTest, BadFilterTextIsAClearErrorAndKeepsTheOldFilter)
{
    dataSet.setFilter("QTY=2");
    dataSet.setFiltered(true);
    const char* bad[] = {"QTY =", "QTY = 'x", "(QTY = 1", "NOPE = 1", "QTY ~ 1", "FOO(QTY) = 1", "QTY = 1 QTY"};
    for (const char* text : bad) {
        EXPECT_TRUE(contains(errorOf<DataSetError>([&] { dataSet.setFilter(text); }), text)) << text;
    }
    EXPECT_EQ(dataSet.filter(), "QTY=2");
    EXPECT_EQ(codes(), "B2 D4 ");
}

TEST_F(DataSetTest, IndexOrdersStablyAndKeepsOrderOnPost)
{
    dataSet.setRecNo(3);
    dataSet.setIndexFieldNames("QTY");
    EXPECT_EQ(code(), "C3");
    EXPECT_EQ(codes(), "B2 D4 A1 C3 ");
    dataSet.setIndexFieldNames("QTY;NAME");
    EXPECT_EQ(codes(), "B2 D4 A1 C3 ");
    dataSet.first();
    dataSet.edit();
    dataSet.fieldByName("QTY").setAsFloat(7);
    dataSet.post();
    EXPECT_EQ(code(), "B2");
    EXPECT_EQ(dataSet.recNo(), 3);
    add("E5", "elder", 1);
    EXPECT_EQ(codes(), "E5 D4 A1 B2 C3 ");
    dataSet.setIndexFieldNames("");
    EXPECT_EQ(codes(), "A1 B2 C3 D4 E5 ");
    EXPECT_THROW(dataSet.setIndexFieldNames("QTY;NOPE"), DataSetError);
}

class CountingLink : public DataLink {
public:
    void recordChanged() override { ++records; }
    void fieldChanged(Field& field) override { fields += field.name() + " "; }
    void stateChanged() override { ++states; }
    void dataSetChanged() override { ++dataSets; }
    int records = 0;
    int states = 0;
    int dataSets = 0;
    std::string fields;
};

TEST_F(DataSetTest, DataSourcesTellLinksWhatChanged)
{
    DataSource source(&dataSet);
    CountingLink link;
    link.setDataSource(&source);
    std::vector<std::string> changes;
    source.onDataChange = [&](DataSource&, Field* field) { changes.push_back(field ? field->name() : "record"); };

    dataSet.next();
    dataSet.edit();
    dataSet.fieldByName("NAME").setAsString("blue");
    dataSet.post();
    EXPECT_EQ(link.records, 1);
    EXPECT_EQ(link.fields, "NAME ");
    EXPECT_EQ(link.states, 2);
    EXPECT_EQ(changes, (std::vector<std::string>{"record", "NAME"}));

    dataSet.disableControls();
    dataSet.disableControls();
    dataSet.first();
    dataSet.next();
    dataSet.enableControls();
    EXPECT_EQ(link.records, 1);
    EXPECT_EQ(link.dataSets, 0);
    dataSet.enableControls();
    EXPECT_EQ(link.dataSets, 1);
    EXPECT_EQ(link.records, 1);

    source.setEnabled(false);
    dataSet.next();
    EXPECT_EQ(link.records, 1);
    source.setEnabled(true);

    // A handler that takes a later link off the source: that link hears nothing more, then or
    // at the next change.
    struct Unlinking : DataLink {
        DataLink* later = nullptr;
        void recordChanged() override { later->setDataSource(nullptr); }
    } unlinking;
    CountingLink later;
    unlinking.later = &later;
    link.setDataSource(nullptr);
    unlinking.setDataSource(&source);
    later.setDataSource(&source);
    dataSet.first();
    later.setDataSource(&source);
    dataSet.next();
    EXPECT_EQ(later.records, 0);
}

TEST_F(DataSetTest, LinksSourcesAndDatasetsMayGoInAnyOrder)
{
    auto source = std::make_unique<DataSource>(&dataSet);
    {
        CountingLink shortLived;
        shortLived.setDataSource(source.get());
    }
    CountingLink link;
    link.setDataSource(source.get());
    dataSet.next();
    EXPECT_EQ(link.records, 1);
    source.reset();
    EXPECT_EQ(link.dataSource(), nullptr);
    dataSet.next();

    auto temporary = std::make_unique<ClientDataSet>("cdsTemporary");
    DataSource orphan(temporary.get());
    temporary.reset();
    EXPECT_EQ(orphan.dataSet(), nullptr);
}

// Controls kept quiet over a batch hear at its end, once, that the state changed (even when it
// came back to where it was), before the dataset's change; a batch of moves sends the change alone.
TEST_F(DataSetTest, EnabledControlsHearOnceOfTheStatesABatchWentThrough)
{
    DataSource source(&dataSet);
    CountingLink link;
    link.setDataSource(&source);
    int stateHandlers = 0;
    source.onStateChange = [&](DataSource&) { ++stateHandlers; };

    dataSet.disableControls();
    dataSet.next();
    dataSet.enableControls();
    EXPECT_EQ(link.states, 0);
    EXPECT_EQ(link.dataSets, 1);

    dataSet.disableControls();
    dataSet.edit();
    dataSet.fieldByName("NAME").setAsString("pear");
    dataSet.post();
    dataSet.edit();
    dataSet.enableControls();
    EXPECT_EQ(link.states, 1);
    EXPECT_EQ(stateHandlers, 1);
    EXPECT_EQ(link.fields, "");
    EXPECT_EQ(link.dataSets, 2);
}

} // namespace
} // namespace orvane::test
