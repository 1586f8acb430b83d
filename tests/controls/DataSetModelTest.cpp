// The table model over a dataset, checked by Qt's model tester through every kind of change,
// and fetching the packets of a client dataset as a view scrolls.

#include "controls/DataSetModel.h"
#include "ControlFixture.h"
#include "controls/DBGrid.h"
#include "platform/data/MemoryProvider.h"

#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QSignalSpy>

namespace orvane::test {
namespace {

// The model tester's complaints, collected while a fixture lives so that a case fails on any.
std::vector<std::string> testerComplaints;

void recordTesterComplaint(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (message.contains("FAIL"))
        testerComplaints.push_back(message.toStdString());
}

struct TesterComplaintsRecorded {
    TesterComplaintsRecorded() { testerComplaints.clear(); }
    ~TesterComplaintsRecorded() { qInstallMessageHandler(previous); }
    QtMessageHandler previous = qInstallMessageHandler(&recordTesterComplaint);
};

std::shared_ptr<MemoryProvider> providerOf(int rows)
{
    auto provider = std::make_shared<MemoryProvider>(
        std::vector<FieldDef>{FieldDef::string("CODE", 6), FieldDef::of("QTY", FieldType::Integer)});
    for (int i = 1; i <= rows; ++i) {
        char code[12]; // room for any int
        std::snprintf(code, sizeof code, "R%02d", i);
        provider->addRow({{Variant(std::string(code)), Variant(static_cast<long long>(i))}, {}});
    }
    return provider;
}

class DataSetModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataSet.setProvider(providerOf(5));
        dataSet.setPacketRecords(2);
        model.setDataSource(&source);
    }

    // The codes of the model's rows, "" for an empty cell.
    std::string codes() const
    {
        std::string result;
        for (int row = 0; row < model.rowCount(); ++row)
            result += (row > 0 ? " " : "") + model.index(row, 0).data().toString().toStdString();
        return result;
    }

    Field& code() const { return dataSet.fieldByName("CODE"); }

    ClientDataSet dataSet{"cdsMain"};
    DataSource source{&dataSet};
    DataSetModel model;
    TesterComplaintsRecorded complaints;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Warning};
};

TEST_F(DataSetModelTest, StaysConsistentThroughEveryKindOfChange)
{
    const struct {
        const char* what;
        std::function<void()> change;
        std::string codes;
    } steps[] = {
        {"open", [&] { dataSet.open(); }, "R01 R02"},
        {"fetch", [&] { model.fetchMore({}); }, "R01 R02 R03 R04"},
        {"insert", [&] { dataSet.next(), dataSet.insert(); }, "R01  R02 R03 R04"},
        {"type", [&] { code().setAsString("N1"); }, "R01 N1 R02 R03 R04"},
        {"post", [&] { dataSet.post(); }, "R01 N1 R02 R03 R04"},
        {"edit", [&] { dataSet.edit(), code().setAsString("N0"); }, "R01 N0 R02 R03 R04"},
        {"cancel edit", [&] { dataSet.cancel(); }, "R01 N1 R02 R03 R04"},
        {"append, cancel", [&] { dataSet.append(), dataSet.cancel(); }, "R01 N1 R02 R03 R04"},
        {"delete", [&] { dataSet.first(), dataSet.deleteRecord(); }, "N1 R02 R03 R04"},
        {"reorder", [&] { dataSet.setIndexFieldNames("QTY;CODE"); }, "N1 R02 R03 R04"},
        {"post moves",
         [&] {
             dataSet.edit(), dataSet.fieldByName("QTY").setAsInteger(9);
             dataSet.post();
         },
         "R02 R03 R04 N1"},
        {"insert, post into the order",
         [&] {
             dataSet.first(), dataSet.insert(), code().setAsString("R00");
             dataSet.fieldByName("QTY").setAsInteger(3);
             dataSet.post();
         },
         "R02 R00 R03 R04 N1"},
        {"filter", [&] { dataSet.setFilter("QTY < 5"), dataSet.setFiltered(true); }, "R02 R00 R03 R04"},
        {"post hides", [&] { dataSet.edit(), dataSet.fieldByName("QTY").setAsInteger(7), dataSet.post(); },
         "R00 R03 R04"},
        {"fetch the rest in order",
         [&] {
             while (model.canFetchMore({}))
                 model.fetchMore({});
         },
         "R00 R03 R04"},
        {"unfilter", [&] { dataSet.setFiltered(false); }, "R00 R03 R04 R05 R02 N1"},
        {"close", [&] { dataSet.close(); }, ""},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        EXPECT_EQ(codes(), step.codes);
        EXPECT_EQ(testerComplaints, std::vector<std::string>{});
    }
}

// An invisible field has no column: DBGridTest, through the grid's model.
TEST_F(DataSetModelTest, ReadsCellsWithoutMovingTheCursorAndWritesThroughTheField)
{
    dataSet.open();
    code().onGetText = [](Field& f, std::string& text, bool display) { text = (display ? "<" : "") + f.asString(); };
    const QSignalSpy moves(&model, &DataSetModel::currentRowChanged);
    EXPECT_EQ(model.index(1, 0).data().toString(), "<R02");
    EXPECT_EQ(model.index(1, 0).data(Qt::EditRole).toString(), "R02");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "QTY");
    EXPECT_EQ(dataSet.recNo(), 1);
    EXPECT_TRUE(model.setData(model.index(1, 0), "W2"));
    EXPECT_EQ(dataSet.recNo(), 2);
    EXPECT_EQ(dataSet.state(), DataSetState::Edit);
    EXPECT_EQ(code().asString(), "W2");
    EXPECT_EQ(moves.count(), 1);
    dataSet.fieldByName("QTY").setReadOnly(true);
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
}

TEST_F(DataSetModelTest, AGridScrollsThroughTenThousandRecordsPacketByPacket)
{
    model.setDataSource(nullptr); // only the grid's model fetches here
    dataSet.setProvider(providerOf(10000));
    dataSet.setPacketRecords(100);
    dataSet.open();
    DBGrid grid;
    grid.resize(300, 400);
    grid.setDataSource(&source);
    grid.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(dataSet.recordCount(), 100);
    QScrollBar& bar = *grid.verticalScrollBar();
    for (int packet = 2; packet <= 4; ++packet) {
        bar.setValue(bar.maximum());
        QCoreApplication::processEvents();
        EXPECT_EQ(dataSet.recordCount(), packet * 100);
    }
    EXPECT_EQ(dataSet.recNo(), 1);
    while (!dataSet.allFetched()) {
        bar.setValue(bar.maximum());
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(grid.model()->rowCount(), 10000);
}

// A change of the dataset that leaves the same records in the same rows under the same columns
// repaints them (the views keep their current cell and layout); rows that come, go or move, and
// columns that go, reset the views.
TEST_F(DataSetModelTest, OnlyAChangeOfRowsOrColumnsResetsTheViews)
{
    dataSet.setFilter("QTY > 99");
    dataSet.setFiltered(true);
    dataSet.open();
    const QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    const QSignalSpy repaints(&model, &QAbstractItemModel::dataChanged);
    dataSet.disableControls();
    dataSet.close();
    dataSet.open();
    dataSet.enableControls();
    EXPECT_EQ(resets.count(), 0);
    dataSet.setFiltered(false);
    EXPECT_EQ(resets.count(), 1);

    dataSet.disableControls();
    dataSet.edit();
    code().setAsString("X1");
    dataSet.post();
    dataSet.enableControls();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_GE(repaints.count(), 1);
    EXPECT_EQ(codes(), "X1 R02");

    dataSet.setIndexFieldNames("CODE");
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(codes(), "R02 X1");
    dataSet.close();
    EXPECT_EQ(resets.count(), 3);
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_EQ(testerComplaints, std::vector<std::string>{});
}

} // namespace
} // namespace orvane::test
