#pragma once
// DataSetModel: a table model over the dataset of a data source, for grids. One row per row
// of the dataset's view (its filter and index order, with the new record at its place while
// inserting), one column per visible field in field order; headers are the fields' display
// labels (or titles set with setHeaderData), DisplayRole the display text, EditRole the edit
// text. setData writes through the field's set-text handler (moving to the row and putting
// the dataset into edit state first), unless the model is read-only. Cells are read through ViewRowScope, so painting never
// moves the cursor or runs dataset events, and costs one text per cell.
//
// The model follows the data source: editing, inserting, posting and cancelling insert,
// remove, move or repaint the row concerned; any other change of the records (a delete, a
// filter, an order, a new master record, enabled controls) resets the model, unless its rows
// still show the same records, none edited, under the same columns: then they only repaint. A
// client dataset with more records on the server fetches its next packet in fetchMore; one that
// reads ahead reads it on a worker while the window goes on, and its rows are shown in slices of
// readAheadSlice records, the events waiting meanwhile handled between them. Client (GUI) thread
// only.

#include "platform/data/DataSource.h"

#include <QAbstractTableModel>
#include <QPersistentModelIndex>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace orvane {

class ClientDataSet;

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Records of a packet read ahead shown at a time.
    static constexpr int readAheadSlice = 5;

    explicit DataSetModel(QObject* parent = nullptr);
    ~DataSetModel() override;

    DataSource* dataSource() const;
    void setDataSource(DataSource* source);
    // The dataset shown; null when none.
    DataSet* dataSet() const;

    // The field of a column (null out of range) and the column of a field (-1 when hidden).
    Field* fieldAt(int column) const;
    int columnOf(const Field* field) const;
    // The row of the dataset's current record; -1 when there is none.
    int currentRow() const;
    // Makes the record at `row` current (a pending edit is posted first); false when the
    // dataset refused (the guard reported why).
    bool moveTo(int row);
    // Reads the columns and rows again, after a form changed which fields are visible.
    void refresh();
    // A read-only model shows no cell as editable and refuses every write.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool readOnly() const { return readOnly_; }
    // True when the column's cells can be written: neither the model nor the field is read-only.
    // Asked anew each time, as a form may make a field read-only while a record is edited.
    bool columnEditable(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // A horizontal header's title replaces the field's display label in this model.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    // Another record became current (row -1: none).
    void currentRowChanged(int row);
    // A field of the current record was written (its row repaints after the events waiting).
    void fieldWritten(orvane::Field* field);

private:
    class Link;
    // A row change being announced: the listeners still see the rows as they were.
    struct Pending {
        enum class Kind { None, Inserted, Removed, Moved } kind = Kind::None;
        int row = -1;
        int to = -1; // where a moved row goes
    };

    void stateChanged();
    void fieldChanged();
    void dataSetChanged();
    // Reads the columns and rows again and resets the views.
    void reset();
    // Resets the views unless the rows show the same records as before, unedited, under the
    // same columns; then repaints them.
    void follow();
    std::vector<Field*> visibleColumns() const;
    // The identities of the records of the dataset's rows now.
    std::vector<std::uint64_t> rowRecords() const;
    void insertRow(int row);
    void removeRow(int row);
    void moveRow(int from, int to);
    void repaintRow(int row);
    // The row whose fields changed, repainted once when the events run or another row changes.
    void repaintPendingRow();
    void readAhead(ClientDataSet& set);
    // Shows the next slice of the packet read ahead, once it has arrived.
    void takeReadAhead();
    // The dataset's row shown at `row` of the model (-1: none).
    int sourceRow(int row) const;

    std::shared_ptr<Link> link_; // shared: a packet read ahead wakes the model through it
    std::vector<Field*> columns_;
    std::unordered_map<int, QVariant> titles_; // by field index
    int rows_ = 0;
    // The records of the rows at the last reset; cleared (unknown) when rows came, went or moved since.
    std::vector<std::uint64_t> rowRecords_;
    bool active_ = false;
    bool readOnly_ = false;
    int editRow_ = -1; // the row being edited or inserted
    bool fetching_ = false;
    // Set while listeners hear of a change: a fetch then would re-enter the dataset while it
    // is still telling its data sources.
    bool announcing_ = false;
    Pending pending_;
    QPersistentModelIndex repaintPending_; // a row whose fields changed, not repainted yet
    bool repaintPosted_ = false;           // its repaint waits in the event queue
};

} // namespace orvane
