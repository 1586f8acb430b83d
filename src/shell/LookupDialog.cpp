#include "shell/LookupDialog.h"

#include "platform/text/FieldTextRules.h"
#include "platform/text/LocalText.h"
#include "services/InterfaceTexts.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane {

LookupDialog::LookupDialog(const LookupList& list, QWidget* parent)
    : QDialog(parent), dateStyle_(list.dateStyle), dateSeparator_(list.dateSeparator), serverText_(list.serverText),
      moreRows_(list.page.moreRows), nextPage_(list.nextPage), table_(new QTableWidget(this))
{
    setObjectName(QStringLiteral("frmLookup"));
    setWindowTitle(title());
    table_->setObjectName(QStringLiteral("gdLookup"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    const QStringList labels = columnLabels(list.page.columns, serverText_);
    table_->setColumnCount(static_cast<int>(labels.size()));
    table_->setHorizontalHeaderLabels(labels);
    for (const ColumnEntry& entry : columnEntries(list.page.columns)) {
        table_->setColumnHidden(static_cast<int>(kinds_.size()), entry.label.empty());
        kinds_.push_back(entry.kind);
    }
    append(list.page.rows);
    if (table_->rowCount() > 0)
        table_->setCurrentCell(0, 0);
    table_->resizeColumnsToContents();
    // The last column takes the room the others leave, so a narrow list does not stand in a blank window.
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { choose(table_->currentRow()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A double-click activates the row it hits (Enter: eventFilter).
    connect(table_, &QTableWidget::activated, this, [this](const QModelIndex& index) { choose(index.row()); });
    connect(table_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            guardedSlot("LookupDialog.scrolled", [this](int value) {
                if (!goingToEnd_ && value == table_->verticalScrollBar()->maximum())
                    fetchMore();
            }));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(640, 420);
    table_->setFocus();
}

QString LookupDialog::title()
{
    return text::toQString(InterfaceTexts::current()->text(textObject::shell, "frmLookup", LOCAL_TEXT(u8"信息查询")));
}

QStringList LookupDialog::columnLabels(std::string_view specification, const ServerText& serverText)
{
    QStringList labels;
    for (const ColumnEntry& entry : columnEntries(specification))
        labels << text::toQString(serverText.columnTitle(entry.label));
    return labels;
}

void LookupDialog::append(std::vector<std::vector<Variant>> rows)
{
    int row = table_->rowCount();
    table_->setRowCount(row + static_cast<int>(rows.size()));
    for (auto& cells : rows) {
        table_->setColumnCount(std::max(table_->columnCount(), static_cast<int>(cells.size())));
        for (std::size_t c = 0; c < cells.size(); ++c)
            table_->setItem(row, static_cast<int>(c), new QTableWidgetItem(cellText(c, cells[c])));
        rows_.push_back(std::move(cells));
        ++row;
    }
}

QString LookupDialog::cellText(std::size_t column, const Variant& value) const
{
    const std::string_view kind = column < kinds_.size() ? std::string_view(kinds_[column]) : std::string_view();
    // A flag's mark is the client's own; every other cell is the server's text.
    const std::string cell = text::listCellText(kind, value, dateStyle_, dateSeparator_);
    return text::toQString(kind == "L" ? cell : serverText_.shown(cell));
}

void LookupDialog::fetchMore()
{
    if (!moreRows_ || !nextPage_)
        return;
    LookupAnswer page = nextPage_(rows_.size());
    moreRows_ = page.moreRows && !page.rows.empty();
    append(std::move(page.rows));
}

bool LookupDialog::atLastRow() const
{
    return table_->currentRow() == table_->rowCount() - 1;
}

bool LookupDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != table_ || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Enter in the list takes the current row and no further: passed on, it would press the
    // dialog's default button, which on an empty list must not answer.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        choose(table_->currentRow());
        return true;
    }
    if (key != Qt::Key_End && key != Qt::Key_PageDown)
        return false;
    guarded("LookupDialog.keyPress", [this] {
        if (atLastRow())
            fetchMore();
    });
    if (key == Qt::Key_PageDown || table_->rowCount() == 0)
        return false;
    // Going to the last row scrolls to the bottom, which is no request for yet another page.
    const QScopedValueRollback goingToEnd(goingToEnd_, true);
    table_->setCurrentCell(table_->rowCount() - 1, std::max(table_->currentColumn(), 0));
    return true;
}

void LookupDialog::choose(int row)
{
    if (row < 0 || row >= table_->rowCount())
        return;
    chosen_ = static_cast<std::size_t>(row);
    accept();
}

std::optional<std::vector<Variant>> LookupDialog::chosenRow() const
{
    if (!chosen_)
        return std::nullopt;
    return rows_[*chosen_];
}

} // namespace orvane
