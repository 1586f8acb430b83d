#include "controls/DBGrid.h"

#include "controls/DBEdit.h"
#include "ui/FocusReasons.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStringList>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

#include <algorithm>
#include <array>

namespace orvane {

namespace {

// Edits a cell in a masked edit with the field's limits and paints the hook's colours.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(DBGrid& grid) : QStyledItemDelegate(&grid), grid_(grid)
    {
        connect(&grid.dataModel(), &DataSetModel::fieldWritten, this, &CellDelegate::forgetGivenText);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                          const QModelIndex& index) const override
    {
        auto* edit = new MaskEdit(parent);
        edit->setFrame(false);
        if (const Field* field = grid_.dataModel().fieldAt(index.column()))
            applyFieldLimits(*edit, *field);
        edit->setProperty(indexProperty, QVariant::fromValue(QPersistentModelIndex(index)));
        return edit;
    }

    // Also called for an open editor whenever its row repaints, as it does after the events
    // waiting when any field of the record changed: text the user typed meanwhile stays while the
    // record is being edited, unless the cell's own field was written since the editor was given
    // its text (a lookup filled it). A posted or cancelled record shows its field again.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* edit = static_cast<MaskEdit*>(editor);
        const QString shown = index.data(Qt::EditRole).toString();
        const DataSet* dataSet = grid_.dataModel().dataSet();
        const bool editing = dataSet != nullptr && dataSet->state() != DataSetState::Browse;
        if (editing && edit->isModified() && edit->property(givenProperty).toString() == shown)
            return;
        edit->setProperty(givenProperty, shown);
        edit->setFieldText(text::fromQString(shown));
        edit->setModified(false);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* /*model*/, const QModelIndex& index) const override
    {
        write(*static_cast<MaskEdit*>(editor), index);
    }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* edit = qobject_cast<MaskEdit*>(object);
        if (edit != nullptr && takenOver(*event))
            return false; // Qt would commit the text (a refused one twice, a second box) and close the editor
        if (edit == nullptr || !leavesEditor(*event))
            return QStyledItemDelegate::eventFilter(object, event);
        if (!writeEditor(*edit)) {
            if (event->type() == QEvent::KeyPress)
                return true; // the typed text stays for the user to correct
            // Leaving with the mouse drops the refused text: Qt's commit on the way out would
            // write it again and report the refusal a second time.
            edit->setModified(false);
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

    // Writes the editor's changed text to its cell's field; false when the field refused it,
    // and then the text stays marked as changed.
    bool writeEditor(MaskEdit& edit) const
    {
        if (!write(edit, edit.property(indexProperty).value<QPersistentModelIndex>()))
            return false;
        edit.setModified(false);
        return true;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const Field* field = grid_.dataModel().fieldAt(index.column());
        if (!grid_.cellColorHook() || field == nullptr || (option->state & QStyle::State_Selected))
            return;
        QColor background = option->palette.color(QPalette::Base);
        QColor text = option->palette.color(QPalette::Text);
        grid_.cellColorHook()(index.row(), *field, background, text);
        option->backgroundBrush = background;
        // Setting a colour copies the whole palette: a cell whose text is drawn in that colour
        // already keeps it (the style draws a cell's text in the group its state gives).
        const QPalette::ColorGroup drawnIn = !(option->state & QStyle::State_Enabled) ? QPalette::Disabled
                                             : (option->state & QStyle::State_Active) ? QPalette::Normal
                                                                                      : QPalette::Inactive;
        if (option->palette.color(drawnIn, QPalette::Text) != text)
            option->palette.setColor(QPalette::Text, text);
    }

private:
    // A write of the open editor's own field: its next repaint replaces what was typed.
    void forgetGivenText(const Field* field) const
    {
        const QModelIndex current = grid_.currentIndex();
        if (QWidget* edit = grid_.indexWidget(current);
            edit != nullptr && grid_.dataModel().fieldAt(current.column()) == field)
            edit->setProperty(givenProperty, QVariant());
    }

    static constexpr const char* indexProperty = "orvaneCell";
    static constexpr const char* givenProperty = "orvaneGivenText"; // the field's text the editor last showed

    // A box the check opens, a popup or another window taking the focus: no exit from the editor.
    static bool takenOver(const QEvent& event)
    {
        return event.type() == QEvent::FocusOut && focusTakenOver(static_cast<const QFocusEvent&>(event).reason());
    }

    static bool leavesEditor(const QEvent& event)
    {
        if (event.type() == QEvent::FocusOut)
            return !takenOver(event);
        if (event.type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<const QKeyEvent&>(event).key();
        return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab;
    }

    // Writes changed text to the field; false when the field refused it.
    bool write(MaskEdit& edit, const QModelIndex& index) const
    {
        if (!edit.isModified() || !index.isValid())
            return true;
        return grid_.dataModel().setData(index, text::toQString(edit.fieldText()), Qt::EditRole);
    }

    DBGrid& grid_;
};

// The grid's headers. Qt measures up to 200 sections of a header for its size each time the
// view lays out again, which a new row in a long document does: every appended line cost
// hundreds of text layouts. The column titles' size is kept until the font changes or other
// titles are shown: when the columns or a title change (a detail's model is reset at each record
// of its master, has no columns while closed and gets its titles again) the titles are compared
// with those of the last two measurements. The row numbers' width is the row count's, the
// widest number, measured again only when the count gains or loses a digit.
class GridHeader : public QHeaderView {
public:
    GridHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent)
    {
        setSectionsClickable(true);
        setHighlightSections(true);
        connect(this, &QHeaderView::sectionCountChanged, this, [this] { compareTitles_ = true; });
    }

    void setModel(QAbstractItemModel* model) override
    {
        QHeaderView::setModel(model);
        forgetTitles();
        connect(model, &QAbstractItemModel::headerDataChanged, this, [this] { compareTitles_ = true; });
        connect(model, &QAbstractItemModel::modelReset, this, [this] { compareTitles_ = true; });
    }

    QSize sizeHint() const override
    {
        if (orientation() == Qt::Vertical) {
            const QString widest = QString::number(std::max(count(), 1));
            if (!numbers_.isValid() || numbersDigits_ != widest.size()) {
                QStyleOptionHeader option;
                initStyleOption(&option);
                option.text = widest;
                numbers_ = style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
                numbersDigits_ = widest.size();
            }
            return {numbers_.width(), defaultSectionSize()};
        }
        if (titles_.isValid() && !compareTitles_)
            return titles_;
        compareTitles_ = false;
        QStringList shown = columnTitles();
        for (const Measured& measured : measured_) {
            if (measured.size.isValid() && measured.titles == shown)
                return titles_ = measured.size;
        }
        titles_ = QHeaderView::sizeHint();
        measured_[1] = std::move(measured_[0]);
        measured_[0] = {std::move(shown), titles_};
        return titles_;
    }

protected:
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            forgetTitles();
            numbers_ = {};
        }
        QHeaderView::changeEvent(event);
    }

private:
    struct Measured {
        QStringList titles;
        QSize size;
    };

    void forgetTitles()
    {
        titles_ = {};
        measured_ = {};
    }
    QStringList columnTitles() const
    {
        QStringList titles;
        for (int column = 0; model() != nullptr && column < count(); ++column)
            titles.push_back(model()->headerData(column, orientation()).toString());
        return titles;
    }

    mutable QSize titles_;
    mutable bool compareTitles_ = false;       // the columns may have changed: compare their titles
    mutable std::array<Measured, 2> measured_; // the last two measurements, the latest first
    mutable QSize numbers_;                    // the row numbers' section, for numbersDigits_ digits
    mutable qsizetype numbersDigits_ = 0;
};

constexpr QAbstractItemView::EditTriggers cellEditTriggers =
    QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;

} // namespace

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), model_(new DataSetModel(this))
{
    setHorizontalHeader(new GridHeader(Qt::Horizontal, this));
    setVerticalHeader(new GridHeader(Qt::Vertical, this));
    setModel(model_);
    setItemDelegate(new CellDelegate(*this));
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setEditTriggers(cellEditTriggers);
    setGridStyle(Qt::NoPen); // the grid draws its own solid lines (paintEvent)
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSectionsMovable(true);
    connect(model_, &DataSetModel::currentRowChanged, this, &DBGrid::followDataSet);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &DBGrid::moveDataSet);
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { keptLayout_ = columnLayout(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnLayout(keptLayout_);
        showSortMark();
    });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        showSortMark(); // the header flips its own mark on a click; the form sets the mark
        emit titleClicked(model_->fieldAt(column));
    });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit cellDoubleClicked(model_->fieldAt(index.column())); });
}

DBGrid::~DBGrid() = default;

bool DBGrid::writeOpenEditor()
{
    QWidget* editor = indexWidget(currentIndex());
    if (editor == nullptr)
        return true;
    if (auto* edit = qobject_cast<MaskEdit*>(editor);
        edit != nullptr && itemDelegateForIndex(currentIndex()) == itemDelegate())
        return static_cast<const CellDelegate*>(itemDelegate())->writeEditor(*edit);
    // The editor of a column's own delegate (a list to choose from) writes through that delegate;
    // a refusal is reported by the model's guard.
    commitData(editor);
    return true;
}

void DBGrid::setDataSource(DataSource* source)
{
    keptLayout_.clear();
    model_->setDataSource(source);
}

void DBGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (showGrid())
        paintGridLines(event->region());
}

// The solid lines QTableView draws between the cells, in the same places, as rectangles a pixel
// wide: a rectangle is filled at once where a line is stroked pixel by pixel, and every keystroke
// in a line repaints its row. Lines reaching beyond the painted region are clipped to it.
void DBGrid::paintGridLines(const QRegion& region)
{
    const QHeaderView& columns = *horizontalHeader();
    const QHeaderView& rows = *verticalHeader();
    if (columns.count() == 0 || rows.count() == 0)
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QColor colour =
        QColor::fromRgba(static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    // Some styles draw the first row's top line and the first column's outer line when the header
    // that would border them is hidden.
    const bool outerLines = style()->styleHint(QStyle::SH_Table_AlwaysDrawLeftTopGridLines, &option, this) != 0;
    const bool rightToLeft = isRightToLeft();
    const int lastX = columns.length() - columns.offset() - (rightToLeft ? 0 : 1);
    const int lastY = rows.length() - rows.offset() - 1;
    // The column's line: after it, or before it from right to left; its outer line the other side.
    const auto columnLine = [&](int column, bool outer) {
        return columnViewportPosition(column) + (rightToLeft == outer ? columnWidth(column) - 1 : 0);
    };
    QPainter painter(viewport());
    for (QRect dirty : region) {
        dirty.setBottom(std::min(dirty.bottom(), lastY));
        if (rightToLeft)
            dirty.setLeft(std::max(dirty.left(), viewport()->width() - lastX));
        else
            dirty.setRight(std::min(dirty.right(), lastX));
        const int top = rows.visualIndexAt(dirty.top());
        int bottom = rows.visualIndexAt(dirty.bottom());
        if (bottom == -1)
            bottom = rows.count() - 1;
        if (!dirty.isValid() || top == -1 || top > bottom)
            continue;
        const int first = columns.visualIndexAt(rightToLeft ? dirty.right() : dirty.left());
        const int last = columns.visualIndexAt(rightToLeft ? dirty.left() : dirty.right());
        const auto horizontal = [&](int y) {
            painter.fillRect(QRect(QPoint(dirty.left(), y), QPoint(dirty.right(), y)), colour);
        };
        const auto vertical = [&](int x) {
            painter.fillRect(QRect(QPoint(x, dirty.top()), QPoint(x, dirty.bottom())), colour);
        };
        for (int visual = top; visual <= bottom; ++visual)
            if (const int row = rows.logicalIndex(visual); !rows.isSectionHidden(row))
                horizontal(rowViewportPosition(row) + rowHeight(row) - 1);
        for (int visual = std::max(first, 0); visual <= (last == -1 ? columns.count() - 1 : last); ++visual)
            if (const int column = columns.logicalIndex(visual); !columns.isSectionHidden(column))
                vertical(columnLine(column, false));
        if (const int row = rows.logicalIndex(top); outerLines && columns.isHidden() && !rows.isSectionHidden(row))
            horizontal(rowViewportPosition(row));
        if (const int column = columns.logicalIndex(std::max(first, 0));
            outerLines && rows.isHidden() && !columns.isSectionHidden(column))
            vertical(columnLine(column, true));
    }
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    if (typesIntoEmptyGrid(*event)) {
        // No row to type into: the first record starts, as Down starts one, and takes the key.
        newRecord(true);
        QTableView::keyPressEvent(event);
        return;
    }
    if (!startsRecord(*event)) {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
    if (state() == EditingState && !closeWrittenEditor())
        return; // the refused text stays in the editor for the user to correct
    const DataSet& dataSet = *model_->dataSet();
    if (event->key() == Qt::Key_Insert)
        newRecord(false);
    else if (dataSet.state() != DataSetState::Insert || dataSet.modified()) // not a second untouched one
        newRecord(true, event->key() == Qt::Key_Tab);
}

bool DBGrid::startsRecord(const QKeyEvent& event) const
{
    const DataSet* dataSet = model_->dataSet();
    if (readOnly() || dataSet == nullptr || !dataSet->active() || event.modifiers() != Qt::NoModifier)
        return false;
    const QModelIndex current = currentIndex();
    switch (event.key()) {
    case Qt::Key_Insert: return state() != EditingState; // Insert in a cell editor is the editor's
    case Qt::Key_Down: return !current.isValid() || current.row() == model_->rowCount() - 1;
    case Qt::Key_Tab:
        // After an untouched new last record Tab goes on out of the grid.
        return atGridEnd(MoveNext) && (dataSet->state() != DataSetState::Insert || dataSet->modified());
    default: return false;
    }
}

bool DBGrid::typesIntoEmptyGrid(const QKeyEvent& event) const
{
    const DataSet* dataSet = model_->dataSet();
    const QString typed = event.text();
    return !readOnly() && dataSet != nullptr && dataSet->active() && model_->rowCount() == 0 && !typed.isEmpty() &&
           typed.at(0).isPrint() && !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool tab = hint == QAbstractItemDelegate::EditNextItem;
    if ((!tab && hint != QAbstractItemDelegate::EditPreviousItem) || readOnly() ||
        !atGridEnd(tab ? MoveNext : MovePrevious)) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    // Tab out of the last cell: the cell is written; a new record follows as Tab without an editor.
    // Backtab out of the first leaves the grid as Backtab on that cell does.
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    QKeyEvent key(QEvent::KeyPress, tab ? Qt::Key_Tab : Qt::Key_Backtab, Qt::NoModifier);
    keyPressEvent(&key);
    if (!key.isAccepted())
        focusNextPrevChild(tab);
}

QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Tab and Backtab go from tab stop to tab stop and leave the grid at its ends instead of wrapping.
    if ((action == MoveNext || action == MovePrevious) && currentIndex().isValid())
        return tabTarget(action);
    return QTableView::moveCursor(action, modifiers);
}

bool DBGrid::atGridEnd(CursorAction towards) const
{
    return currentIndex().isValid() && !tabTarget(towards).isValid();
}

std::vector<int> DBGrid::tabColumns() const
{
    const QHeaderView& header = *horizontalHeader();
    std::vector<int> shown;
    std::vector<int> editable;
    for (int visual = 0; visual < header.count(); ++visual) {
        const int column = header.logicalIndex(visual);
        if (isColumnHidden(column))
            continue;
        shown.push_back(column);
        if (model_->columnEditable(column))
            editable.push_back(column);
    }
    return editable.empty() ? shown : editable;
}

QModelIndex DBGrid::tabTarget(CursorAction towards) const
{
    const QModelIndex current = currentIndex();
    std::vector<int> columns = tabColumns(); // in the order Tab meets them
    if (!current.isValid() || columns.empty())
        return {};
    const bool next = towards == MoveNext;
    if (!next)
        std::ranges::reverse(columns);
    const QHeaderView& header = *horizontalHeader();
    const int here = header.visualIndex(current.column());
    const auto ahead = [&](int column) {
        return next ? header.visualIndex(column) > here : header.visualIndex(column) < here;
    };
    if (const auto found = std::ranges::find_if(columns, ahead); found != columns.end())
        return model_->index(current.row(), *found);
    const int row = current.row() + (next ? 1 : -1);
    return row >= 0 && row < model_->rowCount() ? model_->index(row, columns.front()) : QModelIndex();
}

bool DBGrid::closeWrittenEditor()
{
    if (!writeOpenEditor())
        return false;
    if (QWidget* editor = indexWidget(currentIndex()))
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void DBGrid::newRecord(bool append, bool firstColumn)
{
    if (const std::vector<int> columns = tabColumns(); firstColumn && !columns.empty()) {
        // The new record starts in the first tab stop (the form may choose another when it starts).
        const int column = columns.front();
        selectedColumn_ = column;
        following_ = true;
        setCurrentIndex(model_->index(currentIndex().row(), column));
        following_ = false;
    }
    DataSet* dataSet = model_->dataSet();
    guarded("DBGrid.NewRecord", [&] {
        if (append)
            dataSet->append();
        else
            dataSet->insert();
    });
}

// The current cell --------------------------------------------------------------

void DBGrid::followDataSet(int row)
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    following_ = true;
    const int column = current.isValid() ? current.column() : std::min(selectedColumn_, model_->columnCount() - 1);
    setCurrentIndex(row >= 0 ? model_->index(row, std::max(column, 0)) : QModelIndex());
    if (row >= 0)
        scrollTo(currentIndex());
    following_ = false;
}

void DBGrid::moveDataSet(const QModelIndex& current)
{
    if (current.isValid())
        selectedColumn_ = current.column();
    if (following_ || !current.isValid())
        return;
    model_->moveTo(current.row());
    followDataSet(model_->currentRow()); // back to the dataset's row when it refused
}

Field* DBGrid::selectedField() const
{
    const QModelIndex current = currentIndex();
    return model_->fieldAt(current.isValid() ? current.column() : selectedColumn_);
}

void DBGrid::setSelectedField(const Field* field)
{
    const int column = model_->columnOf(field);
    if (column < 0)
        return;
    selectedColumn_ = column;
    const int row = model_->currentRow();
    if (row < 0)
        return;
    following_ = true;
    setCurrentIndex(model_->index(row, column));
    following_ = false;
}

QString DBGrid::selectedFieldName() const
{
    const Field* field = selectedField();
    return field != nullptr ? text::toQString(field->name()) : QString();
}

void DBGrid::setSelectedFieldName(const QString& name)
{
    const DataSet* set = model_->dataSet();
    setSelectedField(set != nullptr ? set->findField(text::fromQString(name)) : nullptr);
}

// Looks -------------------------------------------------------------------------

bool DBGrid::readOnly() const
{
    return model_->readOnly();
}

void DBGrid::setReadOnly(bool readOnly)
{
    model_->setReadOnly(readOnly);
    setEditTriggers(readOnly ? NoEditTriggers : cellEditTriggers);
}

QColor DBGrid::backgroundColor() const
{
    return palette().color(QPalette::Base);
}

void DBGrid::setBackgroundColor(const QColor& color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::Base, color);
    setPalette(colors);
}

void DBGrid::setSortMark(const Field* field, Qt::SortOrder order)
{
    sortMark_.reset();
    if (field != nullptr)
        sortMark_.emplace(field->name(), order);
    showSortMark();
}

void DBGrid::showSortMark()
{
    const DataSet* set = model_->dataSet();
    const Field* field = sortMark_ && set != nullptr ? set->findField(sortMark_->first) : nullptr;
    const int column = model_->columnOf(field);
    horizontalHeader()->setSortIndicatorShown(column >= 0);
    horizontalHeader()->setSortIndicator(column, sortMark_ ? sortMark_->second : Qt::AscendingOrder);
}

// Column layout -----------------------------------------------------------------

std::vector<ColumnLayout> DBGrid::columnLayout() const
{
    const QHeaderView& header = *horizontalHeader();
    std::vector<ColumnLayout> layout;
    for (int visual = 0; visual < header.count(); ++visual) {
        const int column = header.logicalIndex(visual);
        if (const Field* field = model_->fieldAt(column)) {
            layout.push_back(
                {field->name(), header.sectionSize(column), model_->headerData(column, Qt::Horizontal).toString()});
        }
    }
    return layout;
}

void DBGrid::applyColumnLayout(const std::vector<ColumnLayout>& layout)
{
    const DataSet* set = model_->dataSet();
    QHeaderView& header = *horizontalHeader();
    int visual = 0;
    for (const ColumnLayout& entry : layout) {
        const int column = model_->columnOf(set != nullptr ? set->findField(entry.field) : nullptr);
        if (column < 0)
            continue;
        // A reset mostly gives back the layout it took: only what differs is set again, as each
        // change makes the header lay its sections out anew.
        header.moveSection(header.visualIndex(column), visual++);
        if (entry.width > 0 && header.sectionSize(column) != entry.width)
            header.resizeSection(column, entry.width);
        if (!entry.title.isEmpty() && model_->headerData(column, Qt::Horizontal).toString() != entry.title)
            model_->setHeaderData(column, Qt::Horizontal, entry.title);
    }
}

} // namespace orvane
