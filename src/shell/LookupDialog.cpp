#include "shell/LookupDialog.h"

#include "ui/QtText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane {

namespace {

QString cellText(const Variant& value)
{
    if (value.isArray() || value.isDispatch())
        return {};
    return text::toQString(value.toString());
}

} // namespace

LookupDialog::LookupDialog(const LookupList& list, QWidget* parent)
    : QDialog(parent), rows_(list.rows), table_(new QTableWidget(this))
{
    setObjectName(QStringLiteral("frmLookup"));
    setWindowTitle(QStringLiteral("信息查询"));
    table_->setObjectName(QStringLiteral("gdLookup"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    fill(columnLabels(list.columns));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Cancel)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { choose(table_->currentRow()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter and a double-click both activate the current row.
    connect(table_, &QTableWidget::activated, this, [this](const QModelIndex& index) { choose(index.row()); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(640, 420);
    table_->setFocus();
}

QStringList LookupDialog::columnLabels(std::string_view specification)
{
    QStringList labels;
    while (!specification.empty()) {
        const std::size_t end = specification.find(';');
        const std::string_view entry = specification.substr(0, end);
        labels << text::toQString(entry.substr(0, entry.find('$')));
        if (end == std::string_view::npos)
            break;
        specification.remove_prefix(end + 1);
    }
    return labels;
}

void LookupDialog::fill(const QStringList& labels)
{
    const std::span<const Variant> elements = rows_.isArray() ? rows_.array().elements() : std::span<const Variant>();
    int columns = static_cast<int>(labels.size());
    for (const Variant& row : elements)
        if (row.isArray())
            columns = std::max(columns, static_cast<int>(row.array().size()));
    table_->setColumnCount(columns);
    table_->setHorizontalHeaderLabels(labels);
    table_->setRowCount(static_cast<int>(elements.size()));
    for (int r = 0; r < static_cast<int>(elements.size()); ++r) {
        const Variant& row = elements[static_cast<std::size_t>(r)];
        const std::span<const Variant> cells =
            row.isArray() ? row.array().elements() : std::span<const Variant>(&row, 1);
        for (int c = 0; c < static_cast<int>(cells.size()); ++c)
            table_->setItem(r, c, new QTableWidgetItem(cellText(cells[static_cast<std::size_t>(c)])));
    }
    if (!elements.empty())
        table_->setCurrentCell(0, 0);
    table_->resizeColumnsToContents();
}

void LookupDialog::choose(int row)
{
    if (row < 0 || row >= table_->rowCount())
        return;
    chosen_ = row;
    accept();
}

Variant LookupDialog::chosenRow() const
{
    if (!chosen_ || !rows_.isArray())
        return {};
    return rows_.array().elements()[static_cast<std::size_t>(*chosen_)];
}

} // namespace orvane
