#pragma once
// DBGrid: a table view over a DataSetModel. Its current row follows the dataset's current
// record and choosing a row moves the dataset (a pending edit is posted first; when the dataset
// refuses, the grid goes back to the dataset's row). "SelectedField" is the field of the
// current column. Cells are edited in a masked edit that writes the field as DBEdit does; a
// refused value keeps the editor open when it was left with Enter or Tab. Title clicks report
// the column's field (the form orders the rows and sets the sort mark), a hook may colour the
// cells that are not selected, and the column layout (order, widths, titles) is read and
// applied as plain data and survives the model's resets. Columns of invisible fields are
// absent. Client (GUI) thread only.

#include "controls/DataAware.h"
#include "controls/DataSetModel.h"

#include <QColor>
#include <QTableView>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

// One column as a layout file keeps it.
struct ColumnLayout {
    std::string field; // the field's name
    int width = 0;     // pixels; 0 keeps the present width
    QString title;     // empty keeps the present title
    bool operator==(const ColumnLayout&) const = default;
};

class DBGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(orvane::DataSource* DataSource READ dataSource WRITE setDataSource)
    Q_PROPERTY(QString SelectedField READ selectedFieldName WRITE setSelectedFieldName)
    Q_PROPERTY(bool ReadOnly READ readOnly WRITE setReadOnly)
    Q_PROPERTY(QColor Color READ backgroundColor WRITE setBackgroundColor)
public:
    // Colours a cell that is not selected before it is painted; `row` counts from 0.
    using CellColorHook = std::function<void(int row, const Field& field, QColor& background, QColor& text)>;

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    DataSource* dataSource() const { return model_->dataSource(); }
    void setDataSource(DataSource* source);
    DataSetModel& dataModel() const { return *model_; }

    // Writes the text of the open cell editor as leaving it does; false when the field refused it.
    // The editor of a column's own delegate is written through that delegate (true).
    bool writeOpenEditor();

    // The field of the current column; null when the grid has no columns.
    Field* selectedField() const;
    void setSelectedField(const Field* field);
    QString selectedFieldName() const;
    void setSelectedFieldName(const QString& name);

    bool readOnly() const;
    void setReadOnly(bool readOnly);
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);
    void setCellColorHook(CellColorHook hook) { cellColors_ = std::move(hook); }
    const CellColorHook& cellColorHook() const { return cellColors_; }

    // Shows the sort mark on the field's column (null: no mark).
    void setSortMark(const Field* field, Qt::SortOrder order = Qt::AscendingOrder);

    // The columns in the order shown.
    std::vector<ColumnLayout> columnLayout() const;
    // Puts the listed columns first, in the listed order, with their widths and titles; the
    // other columns follow in their order. Unknown fields are skipped.
    void applyColumnLayout(const std::vector<ColumnLayout>& layout);

signals:
    void titleClicked(orvane::Field* field);
    void cellDoubleClicked(orvane::Field* field);

protected:
    // In an editable grid, Down on the last row and Tab on the last cell append a record (not while
    // an untouched new one is the last: Tab then leaves the grid) and Insert inserts one before the
    // current row. Down and Tab write an open cell editor first; a refused value keeps it open.
    void keyPressEvent(QKeyEvent* event) override;
    // Tab out of the last cell's editor goes on as Tab on that cell does, Backtab out of the first's
    // as Backtab on it.
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    // Tab and Backtab move between tab stops (tabColumns), row after row; on the last cell and on the
    // first they do not wrap around the grid: they leave it.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Down, Tab or Insert that starts a record (see keyPressEvent).
    bool startsRecord(const QKeyEvent& event) const;
    // A key that types text into an editable grid without rows: it starts the first record.
    bool typesIntoEmptyGrid(const QKeyEvent& event) const;
    // True on or after the grid's last tab stop (MoveNext), on or before its first (MovePrevious).
    bool atGridEnd(CursorAction towards) const;
    // The columns Tab stops on, in the order shown: the shown columns whose cells can be written,
    // so that a clerk goes from one cell to fill to the next; every shown column when none can be
    // (a browsing grid), so that Tab still moves through it. Read at each key: fields may become
    // read-only while a record is edited.
    std::vector<int> tabColumns() const;
    // The tab stop after (MoveNext) or before (MovePrevious) the current cell, on the next or previous
    // row past the row's last or first; invalid past the grid's ends.
    QModelIndex tabTarget(CursorAction towards) const;
    // Writes and closes the open cell editor; false, the editor kept, when the field refused it.
    bool closeWrittenEditor();
    // Appends or inserts a record, in the first tab stop when asked (the form may choose another).
    void newRecord(bool append, bool firstColumn = false);
    void paintGridLines(const QRegion& region);
    void followDataSet(int row);
    void moveDataSet(const QModelIndex& current);
    void showSortMark();

    DataSetModel* model_;
    bool following_ = false; // set while the grid follows the dataset's current record
    int selectedColumn_ = 0; // the current column, kept while the grid has no rows
    CellColorHook cellColors_;
    std::optional<std::pair<std::string, Qt::SortOrder>> sortMark_;
    std::vector<ColumnLayout> keptLayout_; // the layout while the model resets
};

} // namespace orvane
