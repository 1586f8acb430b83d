#include "controls/DataSetModel.h"

#include "platform/data/ClientDataSet.h"
#include "platform/data/ViewRowScope.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

#include <algorithm>
#include <utility>

namespace orvane {

class DataSetModel::Link : public DataLink {
public:
    explicit Link(DataSetModel& model) : model_(model) {}
    DataSetModel& model() const { return model_; }
    void recordChanged() override
    {
        const QScopedValueRollback announcing(model_.announcing_, true);
        emit model_.currentRowChanged(model_.currentRow());
    }
    void fieldChanged(Field& field) override
    {
        emit model_.fieldWritten(&field);
        model_.fieldChanged();
    }
    void stateChanged() override { model_.stateChanged(); }
    void dataSetChanged() override { model_.dataSetChanged(); }

private:
    DataSetModel& model_;
};

DataSetModel::DataSetModel(QObject* parent) : QAbstractTableModel(parent), link_(std::make_shared<Link>(*this)) {}

DataSetModel::~DataSetModel() = default;

DataSource* DataSetModel::dataSource() const
{
    return link_->dataSource();
}

void DataSetModel::setDataSource(DataSource* source)
{
    link_->setDataSource(source);
    titles_.clear();
    reset();
}

DataSet* DataSetModel::dataSet() const
{
    return link_->dataSet();
}

Field* DataSetModel::fieldAt(int column) const
{
    return column >= 0 && column < static_cast<int>(columns_.size()) ? columns_[static_cast<std::size_t>(column)]
                                                                     : nullptr;
}

int DataSetModel::columnOf(const Field* field) const
{
    const auto found = std::find(columns_.begin(), columns_.end(), field);
    return found != columns_.end() ? static_cast<int>(found - columns_.begin()) : -1;
}

int DataSetModel::currentRow() const
{
    const DataSet* set = dataSet();
    return set != nullptr ? set->viewRow() : -1;
}

void DataSetModel::refresh()
{
    reset();
}

// Following the dataset ---------------------------------------------------------

std::vector<Field*> DataSetModel::visibleColumns() const
{
    std::vector<Field*> columns;
    const DataSet* set = dataSet();
    for (int i = 0; set != nullptr && set->active() && i < set->fieldCount(); ++i) {
        Field& field = set->field(i);
        if (field.visible() && field.type() != FieldType::DataSet)
            columns.push_back(&field);
    }
    return columns;
}

std::vector<std::uint64_t> DataSetModel::rowRecords() const
{
    std::vector<std::uint64_t> records;
    const DataSet* set = dataSet();
    const int rows = set != nullptr && set->active() ? set->viewRowCount() : 0;
    records.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        records.push_back(set->viewRowBookmark(row).recordId);
    return records;
}

void DataSetModel::follow()
{
    // The same records in the same rows under the same columns, none of them edited: the views
    // keep their layout, current cell and scroll position and only paint the rows again (saving
    // an order tells its grids several times that their records changed).
    const DataSet* set = dataSet();
    const bool active = set != nullptr && set->active();
    const bool browsing = !active || (set->state() == DataSetState::Browse && editRow_ < 0);
    if (active != active_ || !browsing || rowRecords_.size() != static_cast<std::size_t>(rows_) ||
        visibleColumns() != columns_ || rowRecords() != rowRecords_) {
        reset();
        return;
    }
    const QScopedValueRollback announcing(announcing_, true);
    if (rows_ > 0 && !columns_.empty())
        emit dataChanged(index(0, 0), index(rows_ - 1, static_cast<int>(columns_.size()) - 1));
    emit currentRowChanged(currentRow());
}

void DataSetModel::reset()
{
    const QScopedValueRollback announcing(announcing_, true);
    beginResetModel();
    const DataSet* set = dataSet();
    active_ = set != nullptr && set->active();
    columns_ = visibleColumns();
    rows_ = active_ ? set->viewRowCount() : 0;
    rowRecords_ = rowRecords();
    const bool editing = active_ && set->state() != DataSetState::Browse;
    editRow_ = editing ? set->viewRow() : -1;
    pending_ = {};
    endResetModel();
    emit currentRowChanged(currentRow());
}

void DataSetModel::insertRow(int row)
{
    rowRecords_.clear();
    pending_ = {Pending::Kind::Inserted, row};
    beginInsertRows({}, row, row);
    pending_ = {};
    ++rows_;
    endInsertRows();
}

void DataSetModel::removeRow(int row)
{
    rowRecords_.clear();
    pending_ = {Pending::Kind::Removed, row};
    beginRemoveRows({}, row, row);
    pending_ = {};
    --rows_;
    endRemoveRows();
}

void DataSetModel::moveRow(int from, int to)
{
    rowRecords_.clear();
    pending_ = {Pending::Kind::Moved, from, to};
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    pending_ = {};
    endMoveRows();
}

void DataSetModel::repaintRow(int row)
{
    if (row < 0 || row >= rows_ || columns_.empty())
        return;
    emit dataChanged(index(row, 0), index(row, static_cast<int>(columns_.size()) - 1));
}

void DataSetModel::stateChanged()
{
    const QScopedValueRollback announcing(announcing_, true);
    const DataSet* set = dataSet();
    if ((set != nullptr && set->active()) != active_) {
        follow();
        return;
    }
    if (!active_)
        return;
    const int row = set->viewRow();
    const bool editing = set->state() != DataSetState::Browse;
    if (editing && editRow_ < 0) {
        editRow_ = row;
        if (set->state() == DataSetState::Insert)
            insertRow(row);
    } else if (!editing && editRow_ >= 0) {
        const int from = std::exchange(editRow_, -1);
        const int count = set->viewRowCount();
        if (count == rows_ - 1) // a cancelled insert, or a record the filter hides now
            removeRow(from);
        else if (count == rows_ && row != from && row >= 0) // posted into another place of the order
            moveRow(from, row);
        else
            repaintRow(from);
    }
    if (set->viewRowCount() != rows_)
        reset();
}

void DataSetModel::fieldChanged()
{
    const QScopedValueRollback announcing(announcing_, true);
    // Get-text handlers may show other fields, so the whole row repaints: once for the fields
    // changed together (a new line fills dozens), when the events run again.
    const int row = currentRow();
    if (row < 0 || row >= rows_ || columns_.empty() || (repaintPending_.isValid() && repaintPending_.row() == row))
        return;
    repaintPendingRow();
    repaintPending_ = QPersistentModelIndex(index(row, 0));
    if (!std::exchange(repaintPosted_, true))
        QMetaObject::invokeMethod(this, &DataSetModel::repaintPendingRow, Qt::QueuedConnection);
}

void DataSetModel::repaintPendingRow()
{
    repaintPosted_ = false;
    const QPersistentModelIndex pending = std::exchange(repaintPending_, QPersistentModelIndex());
    if (pending.isValid())
        repaintRow(pending.row());
}

void DataSetModel::dataSetChanged()
{
    const QScopedValueRollback announcing(announcing_, true);
    const DataSet* set = dataSet();
    const int count = set != nullptr && set->active() ? set->viewRowCount() : 0;
    // A packet in the natural order only adds rows at the end.
    if (fetching_ && active_ && set->indexFieldNames().empty() && count >= rows_) {
        if (count > rows_) {
            rowRecords_.clear();
            beginInsertRows({}, rows_, count - 1);
            rows_ = count;
            endInsertRows();
        }
        return;
    }
    follow();
}

// Reading -----------------------------------------------------------------------

int DataSetModel::sourceRow(int row) const
{
    switch (pending_.kind) {
    case Pending::Kind::Inserted: return row < pending_.row ? row : row + 1;
    case Pending::Kind::Removed: return row < pending_.row ? row : row == pending_.row ? -1 : row - 1;
    case Pending::Kind::Moved: {
        const int from = pending_.row;
        const int to = pending_.to;
        if (row == from)
            return to;
        if (from < to && row > from && row <= to)
            return row - 1;
        if (to < from && row >= to && row < from)
            return row + 1;
        return row;
    }
    case Pending::Kind::None: break;
    }
    return row;
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    const Field* field = index.isValid() ? fieldAt(index.column()) : nullptr;
    if (field == nullptr || index.row() >= rows_)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (field->isNumeric() ? Qt::AlignRight : Qt::AlignLeft));
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const ViewRowScope scope(field->dataSet(), sourceRow(index.row()));
    if (!scope.valid())
        return {};
    try {
        return text::toQString(role == Qt::DisplayRole ? field->displayText() : field->editText());
    } catch (const std::exception&) {
        return {}; // a failing get-text handler leaves its cell empty rather than break painting
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const Field* field = orientation == Qt::Horizontal ? fieldAt(section) : nullptr;
    if (field == nullptr || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const auto title = titles_.find(field->index());
    return title != titles_.end() ? title->second : QVariant(text::toQString(field->displayLabel()));
}

bool DataSetModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    const Field* field = orientation == Qt::Horizontal ? fieldAt(section) : nullptr;
    if (field == nullptr || (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    titles_[field->index()] = value;
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const
{
    const Field* field = index.isValid() ? fieldAt(index.column()) : nullptr;
    if (field == nullptr)
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return columnEditable(index.column()) ? flags | Qt::ItemIsEditable : flags;
}

bool DataSetModel::columnEditable(int column) const
{
    const Field* field = fieldAt(column);
    return field != nullptr && !readOnly_ && !field->readOnly();
}

// Writing and moving ------------------------------------------------------------

bool DataSetModel::moveTo(int row)
{
    DataSet* set = dataSet();
    if (set == nullptr || !set->active() || row == set->viewRow())
        return true;
    const Bookmark target = set->viewRowBookmark(row);
    if (target.empty())
        return false;
    return guarded("DataSetModel.MoveTo", [&] { set->gotoBookmark(target); });
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Field* field = index.isValid() ? fieldAt(index.column()) : nullptr;
    if (field == nullptr || role != Qt::EditRole || readOnly_ || !moveTo(index.row()))
        return false;
    return guarded("DataSetModel.SetData", [&] {
        DataSet& set = field->dataSet();
        if (set.state() == DataSetState::Browse)
            set.edit();
        field->setText(text::fromQString(value.toString()));
    });
}

bool DataSetModel::canFetchMore(const QModelIndex& parent) const
{
    const auto* set = dynamic_cast<const ClientDataSet*>(dataSet());
    return !parent.isValid() && !announcing_ && set != nullptr && set->active() && set->provider() != nullptr &&
           set->master() == nullptr && !set->allFetched() && !set->readingAhead();
}

void DataSetModel::fetchMore(const QModelIndex& parent)
{
    auto* set = dynamic_cast<ClientDataSet*>(dataSet());
    if (!canFetchMore(parent) || fetching_)
        return;
    if (set->readsAhead()) {
        readAhead(*set);
        return;
    }
    const QScopedValueRollback fetching(fetching_, true);
    guarded("DataSetModel.FetchMore", [&] { set->getNextPacket(); });
}

void DataSetModel::readAhead(ClientDataSet& set)
{
    // The worker wakes this model through the application object, which outlives every
    // window; a model gone meanwhile leaves the packet to the dataset's next fetch.
    const std::weak_ptr<Link> link = link_;
    guarded("DataSetModel.FetchMore", [&] {
        set.readAhead([link] {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [link] {
                    if (const std::shared_ptr<Link> alive = link.lock())
                        alive->model().takeReadAhead();
                },
                Qt::QueuedConnection);
        });
    });
}

void DataSetModel::takeReadAhead()
{
    auto* set = dynamic_cast<ClientDataSet*>(dataSet());
    if (set == nullptr || !set->readingAhead())
        return;
    const QScopedValueRollback fetching(fetching_, true);
    guarded("DataSetModel.FetchMore", [&] { set->takeReadAhead(readAheadSlice); });
    if (set->readingAhead()) // more rows to show: the next slice after the events waiting meanwhile
        QMetaObject::invokeMethod(this, &DataSetModel::takeReadAhead, Qt::QueuedConnection);
}

} // namespace orvane
