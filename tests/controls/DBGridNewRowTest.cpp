// The data-aware grid when a record is appended: a column chosen while the record is being made
// (before the grid has a row for it) is the current cell of the new row, reached without leaving
// the current cell for none meanwhile.

#include "ControlFixture.h"
#include "controls/DBGrid.h"

#include <QSignalSpy>

namespace orvane::test {
namespace {

class DBGridNewRowTest : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        grid->setGeometry(0, 0, 480, 280);
        grid->setDataSource(&source);
        grid->setSelectedFieldName("NAME");
    }

    DBGrid* grid = new DBGrid(&window);
};

TEST_F(DBGridNewRowTest, AColumnChosenByTheNewRecordEventIsTheNewRowsCurrentCell)
{
    const int rows = grid->model()->rowCount();
    QSignalSpy moves(grid->selectionModel(), &QItemSelectionModel::currentChanged);
    dataSet.events.onNewRecord = [this](DataSet&) {
        grid->setSelectedFieldName("QTY");
        EXPECT_EQ(grid->selectedFieldName(), "QTY");
    };
    dataSet.append();

    EXPECT_EQ(grid->currentIndex().row(), rows);
    EXPECT_EQ(grid->selectedFieldName(), "QTY");
    ASSERT_EQ(moves.count(), 1) << "straight to the new cell, never through no cell";
    EXPECT_TRUE(moves.front().at(0).toModelIndex().isValid());
}

} // namespace
} // namespace orvane::test
