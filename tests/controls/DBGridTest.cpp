// The data-aware grid: the current row both ways, the selected field, title clicks and the
// sort mark, the headers, the column layout, cell colours and cell editing.

#include "controls/DBGrid.h"
#include "ControlFixture.h"
#include "platform/data/DataSetError.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTest>

namespace orvane::test {
namespace {

class DBGridTest : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        grid->setGeometry(0, 0, 480, 280);
        grid->setDataSource(&source);
        dataSet.fieldByName("CODE").onValidate = [](Field& field) {
            if (field.asString() == "XX")
                throw DataSetError("Field 'CODE': XX is no code");
        };
    }

    QModelIndex cell(int row, const char* field) const
    {
        return grid->model()->index(row, grid->dataModel().columnOf(dataSet.findField(field)));
    }

    static QLineEdit& focusedEditor()
    {
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editor == nullptr)
            throw std::runtime_error("no cell editor has the focus");
        return *editor;
    }

    // Opens the cell's editor and types text over what it holds.
    QLineEdit& typeInto(const QModelIndex& index, const char* text) const
    {
        grid->setFocus();
        grid->setCurrentIndex(index);
        grid->edit(index);
        QLineEdit& editor = focusedEditor();
        editor.selectAll();
        QTest::keyClicks(&editor, text);
        return editor;
    }

    DBGrid* grid = new DBGrid(&window);
};

// The selected field is the current column's, and invisible fields have none; the current row
// follows the dataset and moves it.
TEST_F(DBGridTest, TheCurrentCellFollowsTheDataSetAndMovesIt)
{
    grid->setProperty("SelectedField", "name");
    EXPECT_EQ(selectedFieldOf(grid), "NAME");
    EXPECT_EQ(grid->currentIndex(), cell(0, "NAME"));
    dataSet.next();
    EXPECT_EQ(grid->currentIndex(), cell(1, "NAME"));
    EXPECT_EQ(dataSourceOf(grid), &source);
    dataSet.fieldByName("QTY").setVisible(false);
    grid->dataModel().refresh();
    EXPECT_EQ(grid->model()->columnCount(), 2);
    grid->setSelectedFieldName("QTY");
    EXPECT_EQ(grid->selectedFieldName(), "NAME");

    grid->setCurrentIndex(cell(1, "NAME"));
    EXPECT_EQ(dataSet.recNo(), 2);
    dataSet.edit();
    dataSet.fieldByName("CODE").setAsString("B9");
    dataSet.events.beforePost = [](DataSet&) { throw DataSetError("Dataset cdsMain: the code is taken"); };
    grid->setCurrentIndex(cell(0, "NAME"));
    EXPECT_EQ(dataSet.recNo(), 2); // the refused post keeps the record, and the grid goes back to it
    EXPECT_EQ(grid->currentIndex().row(), 1);
    EXPECT_EQ(dialogs->shownMessages().size(), 1u);
}

// Lines are typed by keyboard alone: Down on the last row, or Down or Tab out of its last editor
// (which writes the cell), goes on to a new record, and Insert puts one before the current row; a
// refused value stays in the editor; Tab never wraps to the top; a read-only grid adds nothing.
TEST_F(DBGridTest, DownOrTabOnTheLastRowAddsARecordWithoutWrappingToTheTopUnlessTheGridIsReadOnly)
{
    auto* after = new QLineEdit(&window); // the control after the grid
    after->move(0, 285);
    showWindow();
    grid->setCurrentIndex(cell(3, "CODE"));
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(dataSet.state(), DataSetState::Insert);
    EXPECT_EQ(grid->currentIndex().row(), 4);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->model()->rowCount(), 5) << "no second empty record";
    dataSet.cancel();
    grid->setCurrentIndex(cell(1, "CODE"));
    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_EQ(dataSet.state(), DataSetState::Insert);
    EXPECT_EQ(dataSet.recNo(), 2) << "before the current row";
    dataSet.cancel();

    for (const auto& [leaving, typed, next] : {std::tuple{Qt::Key_Down, "7", "QTY"}, {Qt::Key_Tab, "8", "CODE"}}) {
        QTest::keyClick(&typeInto(cell(3, "QTY"), typed), leaving);
        EXPECT_EQ(dataSet.state(), DataSetState::Insert);
        EXPECT_EQ(grid->currentIndex(), cell(4, next)) << "the new record's cell";
        dataSet.cancel();
        dataSet.last();
        EXPECT_EQ(dataSet.fieldByName("QTY").asString(), typed) << "the typed quantity written and posted";
    }
    QTest::keyClick(&typeInto(cell(3, "CODE"), "XX"), Qt::Key_Down);
    EXPECT_EQ(grid->model()->rowCount(), 4) << "no record after a refused value";
    EXPECT_EQ(focusedEditor().text(), "XX");
    QTest::keyClick(&focusedEditor(), Qt::Key_Escape);
    dataSet.cancel();

    grid->setReadOnly(true);
    grid->setFocus();
    grid->setCurrentIndex(cell(3, "QTY"));
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(dataSet.state(), DataSetState::Browse);
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after) << "a read-only grid is left, not wrapped around";
    EXPECT_EQ(dataSet.recNo(), 4);
}

// In an editable grid Tab and Backtab pass over the columns that cannot be filled, by the fields'
// state at the key: the last cell to fill is where Tab adds a record, the first where Backtab leaves
// the grid; a browsing grid stops on every column.
TEST_F(DBGridTest, TabGoesFromOneCellToFillToTheNextUnlessTheGridIsReadOnly)
{
    auto* before = new QLineEdit(&window); // before the grid in the window's focus chain
    showWindow();
    dataSet.fieldByName("NAME").setReadOnly(true);
    grid->setFocus();
    grid->setCurrentIndex(cell(0, "CODE"));
    for (const auto& [key, next] :
         {std::pair{Qt::Key_Tab, cell(0, "QTY")}, {Qt::Key_Tab, cell(1, "CODE")}, {Qt::Key_Backtab, cell(0, "QTY")}}) {
        QTest::keyClick(grid, key);
        EXPECT_EQ(grid->currentIndex(), next);
    }
    dataSet.fieldByName("NAME").setReadOnly(false);
    dataSet.fieldByName("QTY").setReadOnly(true);
    QTest::keyClick(&typeInto(cell(3, "NAME"), "x"), Qt::Key_Tab);
    EXPECT_EQ(dataSet.state(), DataSetState::Insert) << "the name is the last cell to fill";
    EXPECT_EQ(grid->currentIndex(), cell(4, "CODE"));
    dataSet.cancel();
    QTest::keyClick(&typeInto(cell(0, "CODE"), "A1"), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), before) << "Backtab out of the first cell's editor leaves the grid";
    grid->setReadOnly(true);
    grid->setCurrentIndex(cell(0, "NAME"));
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_EQ(grid->currentIndex(), cell(0, "QTY")) << "browsing stops on the read-only quantity";
}

// A grid without rows has no cell to type into: typing starts the first record, as Down would, and the
// typed key is its first cell's; a read-only grid starts none.
TEST_F(DBGridTest, TypingIntoAGridWithoutRecordsStartsTheFirst)
{
    while (!dataSet.isEmpty())
        dataSet.deleteRecord();
    showWindow();
    grid->setReadOnly(true);
    grid->setFocus();
    QTest::keyClicks(grid, QStringLiteral("A"));
    EXPECT_EQ(dataSet.state(), DataSetState::Browse);
    grid->setReadOnly(false);
    QTest::keyClicks(grid, QStringLiteral("A"));
    ASSERT_EQ(dataSet.state(), DataSetState::Insert);
    QTest::keyClicks(&focusedEditor(), QStringLiteral("1"));
    EXPECT_EQ(focusedEditor().text(), "A1");
}

TEST_F(DBGridTest, TitleClicksReportTheFieldTheSortMarkIsTheFormsAndAHookColoursTheUnselectedCells)
{
    showWindow();
    const QSignalSpy clicks(grid, &DBGrid::titleClicked);
    QHeaderView& header = *grid->horizontalHeader();
    const int name = grid->dataModel().columnOf(dataSet.findField("NAME"));
    grid->setSortMark(dataSet.findField("CODE"), Qt::DescendingOrder);
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, QPoint(header.sectionViewportPosition(name) + 5, 5));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<Field*>(), dataSet.findField("NAME"));
    EXPECT_EQ(header.sortIndicatorSection(), 0);
    EXPECT_EQ(header.sortIndicatorOrder(), Qt::DescendingOrder);
    grid->setSortMark(nullptr);
    EXPECT_FALSE(header.isSortIndicatorShown());

    // A hook colours the cells that are not selected, their texts too.
    const QColor even = QColor(206, 249, 231);
    const QColor odd = QColor(251, 255, 236);
    grid->setCellColorHook([&](int row, const Field&, QColor& background, QColor& text) {
        background = (row + 1) % 2 == 0 ? even : odd;
        text = row == 2 ? Qt::red : Qt::black;
    });
    grid->setBackgroundColor(odd);
    const QImage shot = grid->viewport()->grab().toImage();
    const auto pixel = [&](const QModelIndex& index) {
        return shot.pixelColor(grid->visualRect(index).topLeft() + QPoint(2, 2));
    };
    const auto hasRed = [&](const QModelIndex& index) {
        const QRect area = grid->visualRect(index);
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (const QColor c = shot.pixelColor(x, y); c.red() > 200 && c.green() < 90)
                    return true;
        return false;
    };
    EXPECT_EQ(pixel(cell(1, "NAME")), even);
    EXPECT_EQ(pixel(cell(2, "NAME")), odd);
    EXPECT_NE(pixel(cell(0, "CODE")), odd); // the selected cell keeps the grid's colours
    EXPECT_TRUE(hasRed(cell(2, "CODE")));
    EXPECT_FALSE(hasRed(cell(1, "CODE")));
}

TEST_F(DBGridTest, TheColumnLayoutIsPlainDataAndSurvivesResetsAndTheHeadersFollowTheTitlesAndTheRowCount)
{
    const std::vector<ColumnLayout> layout{{"QTY", 50, QString::fromUtf8(u8"数量")}, {"CODE", 70, "Code"}};
    grid->applyColumnLayout(layout);
    const std::vector<ColumnLayout> expected{
        layout[0], layout[1], {"NAME", grid->columnWidth(1), QString::fromUtf8(u8"名称")}};
    EXPECT_EQ(grid->columnLayout(), expected);
    dataSet.setFilter("QTY > 2");
    dataSet.setFiltered(true); // the model resets
    EXPECT_EQ(grid->columnLayout(), expected);
    grid->applyColumnLayout({{"GONE", 10, "x"}});
    EXPECT_EQ(grid->columnLayout(), expected);

    // The headers follow the titles and the row count.
    window.show();
    const int titleHeight = grid->horizontalHeader()->sizeHint().height();
    grid->model()->setHeaderData(0, Qt::Horizontal, QStringLiteral("two\nlines"));
    EXPECT_GT(grid->horizontalHeader()->sizeHint().height(), titleHeight) << "a changed title is measured again";
    grid->model()->setHeaderData(0, Qt::Horizontal, QStringLiteral("one line"));
    grid->setDataSource(nullptr); // no columns, then the same ones again
    grid->setDataSource(&source);
    EXPECT_EQ(grid->horizontalHeader()->sizeHint().height(), titleHeight) << "and measured titles shown again";

    dataSet.setFiltered(false);
    const int numberWidth = grid->verticalHeader()->sizeHint().width();
    for (int i = 0; i < 120; ++i)
        add(("N" + std::to_string(i)).c_str(), 0);
    EXPECT_GT(grid->verticalHeader()->sizeHint().width(), numberWidth) << "room for the three-digit row numbers";
}

TEST_F(DBGridTest, ACellEditorWritesTheFieldAndStaysOpenOnARefusal)
{
    showWindow();
    const QSignalSpy doubleClicks(grid, &DBGrid::cellDoubleClicked);
    QLineEdit& editor = typeInto(cell(1, "CODE"), "XX");
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), &editor);
    EXPECT_EQ(editor.text(), "XX");
    // The box of a refusal, like any other window taking over, is no exit from the editor: nothing is
    // written again (a second box) and the editor stays open with the typed text.
    QWidget box;
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    EXPECT_EQ(dialogs->shownMessages().size(), 1u);
    EXPECT_EQ(grid->indexWidget(grid->currentIndex()), &editor);
    box.hide();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    editor.setFocus();
    editor.selectAll();
    QTest::keyClicks(&editor, "Q7");
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_EQ(dataSet.fieldByName("CODE").asString(), "Q7");
    EXPECT_EQ(dialogs->shownMessages().size(), 1u);
    // Leaving a refused value with the mouse drops it, and says so once.
    typeInto(grid->currentIndex(), "XX");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell(3, "NAME")).center());
    EXPECT_EQ(dialogs->shownMessages().size(), 2u);
    EXPECT_EQ(dataSet.recNo(), 4);
    EXPECT_TRUE(dataSet.locate("CODE", Variant("Q7"))) << "the refused text written nowhere";
    grid->setReadOnly(true);
    const QPoint name = grid->visualRect(cell(2, "NAME")).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, name);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, name);
    ASSERT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(doubleClicks.at(0).at(0).value<Field*>(), dataSet.findField("NAME"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr); // no editor in a read-only grid
}

// The grid draws its own lines: scrolled, with a column moved and one hidden, from left to right
// and right to left, it paints what a plain table view over the same rows paints.
TEST_F(DBGridTest, TheGridsOwnLinesLookAsATableViewsLines)
{
    for (int i = 0; i < 30; ++i)
        add("E5", i);
    grid->setGeometry(0, 0, 300, 160);
    QTableView plain(&window);
    plain.setGeometry(0, 0, 300, 160);
    plain.setModel(&grid->dataModel());
    plain.setSelectionModel(grid->selectionModel());
    showWindow();
    grid->clearFocus(); // the current cell's focus frame is no line
    plain.resize(plain.width() + grid->viewport()->width() - plain.viewport()->width(), plain.height());
    const auto painted = [](QTableView& view) {
        QImage picture(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::magenta);
        view.viewport()->render(&picture);
        return picture;
    };
    const auto same = [&](const char* what) {
        for (QTableView* view : {static_cast<QTableView*>(grid), &plain})
            view->horizontalHeader()->resizeSection(0, 120);
        plain.horizontalScrollBar()->setValue(grid->horizontalScrollBar()->value());
        plain.verticalScrollBar()->setValue(grid->verticalScrollBar()->value());
        EXPECT_EQ(painted(*grid), painted(plain)) << what;
    };
    same("at the start");
    grid->verticalScrollBar()->setValue(7);
    grid->horizontalScrollBar()->setValue(40);
    same("scrolled");
    for (QHeaderView* header : {grid->horizontalHeader(), plain.horizontalHeader()}) {
        header->moveSection(2, 0);
        header->hideSection(header->logicalIndex(1));
    }
    same("a column moved and one hidden");
    window.setLayoutDirection(Qt::RightToLeft);
    same("right to left");
}

// A write repaints its row after the events waiting: keys typed meanwhile into the next cell stay
// there, and only a new value of that cell's own field (a lookup's) replaces them.
TEST_F(DBGridTest, TextTypedAheadIntoTheNextCellOutlivesTheRepaintOfTheRow)
{
    dataSet.next();
    dataSet.edit();
    dataSet.fieldByName("NAME").setAsString("Nut");
    dataSet.post();
    showWindow();
    QLineEdit& code = typeInto(cell(1, "CODE"), "Q7");
    QTest::keyClick(&code, Qt::Key_Tab); // writes the code and opens the name's editor
    QLineEdit* name = &focusedEditor();
    ASSERT_NE(name, &code);
    QTest::keyClicks(name, "Bolt");
    QTest::qWait(10);
    EXPECT_EQ(name->text(), "Bolt");
    dataSet.fieldByName("NAME").setAsString("Nut"); // as a lookup fills the field, with the value it had
    QTest::qWait(10);
    EXPECT_EQ(name->text(), "Nut");
    EXPECT_FALSE(name->isModified());
    QTest::keyClicks(name, "Bolt");
    dataSet.cancel(); // as Escape in the document window's lines
    QTest::qWait(10);
    EXPECT_EQ(name->text(), "Nut");
    EXPECT_FALSE(name->isModified());
}

// A column of a form's own delegate (a list to choose from) is written on a save's request too.
TEST_F(DBGridTest, ASavesRequestWritesTheOpenEditorOfAColumnsOwnDelegate)
{
    struct ListDelegate : QStyledItemDelegate {
        using QStyledItemDelegate::QStyledItemDelegate;
        QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
        {
            auto* list = new QComboBox(parent);
            list->addItems({"A1", "Z9"});
            return list;
        }
        void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
        {
            model->setData(index, static_cast<QComboBox*>(editor)->currentText());
        }
    };
    grid->setItemDelegateForColumn(cell(0, "CODE").column(), new ListDelegate(grid));
    showWindow();
    grid->setCurrentIndex(cell(0, "CODE"));
    grid->edit(grid->currentIndex());
    auto* list = qobject_cast<QComboBox*>(grid->indexWidget(grid->currentIndex()));
    ASSERT_NE(list, nullptr);
    list->setCurrentIndex(1);
    EXPECT_TRUE(grid->writeOpenEditor());
    EXPECT_EQ(dataSet.fieldByName("CODE").asString(), "Z9");
}

} // namespace
} // namespace orvane::test
