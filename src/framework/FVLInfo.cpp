#include "framework/FVLInfo.h"

#include "framework/DDObject.h"
#include "framework/VozurazCF.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <fstream>

namespace orvane {

namespace {

constexpr int firstWidth = 42;

std::string unescaped(std::string_view text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("&lt;")) {
            plain += '<';
            i += 3;
        } else if (rest.starts_with("&gt;")) {
            plain += '>';
            i += 3;
        } else if (rest.starts_with("&amp;")) {
            plain += '&';
            i += 4;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

// The element texts of every <tag> inside text, in order.
std::vector<std::string> taggedTexts(std::string_view text, std::string_view tag)
{
    std::vector<std::string> found;
    const std::string open = "<" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    for (std::size_t start = text.find(open); start != std::string_view::npos; start = text.find(open, start)) {
        const std::size_t end = text.find(close, start + open.size());
        if (end == std::string_view::npos)
            break;
        found.emplace_back(text.substr(start + open.size(), end - start - open.size()));
        start = end + close.size();
    }
    return found;
}

} // namespace

std::string taggedText(std::string_view text, std::string_view tag)
{
    const std::vector<std::string> found = taggedTexts(text, tag);
    return found.empty() ? std::string() : unescaped(found.front());
}

std::optional<std::vector<std::vector<std::string>>> approveRows(std::string_view answer)
{
    if (taggedText(answer, "RetVal") != "0")
        return std::nullopt;
    std::vector<std::vector<std::string>> rows;
    for (const std::string& pass : taggedTexts(answer, "PassNoInfo")) {
        const std::string passNo = taggedText(pass, "PassNo");
        for (const std::string& branch : taggedTexts(pass, "BranchInfo")) {
            std::vector<std::string> row{std::to_string(rows.size() + 1), passNo};
            for (const char* tag : {"BranchNo", "FlowRole", "RecTime", "ApproveTime", "ApproveRet", "RecPersonId",
                                    "RecPersonName", "ApprovePersonId", "ApprovePersonName"})
                row.push_back(taggedText(branch, tag));
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

TfrmVLInfo::TfrmVLInfo(TfrmVozuraz& owner) : TZtForm(&owner), owner_(owner)
{
    setObjectName(QStringLiteral("frmVLInfo"));
    setWindowFlags(Qt::Dialog);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(text::utf8(u8"签核信息"));
    resize(900, 300);

    StringGrid1 = new QTableWidget(0, columnCount, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    // The column titles in the interface language: the window's dictionary rows "StringGrid1.1" to ".11".
    const std::vector<QString> titles =
        TDDObject::OwnTexts(text::fromQString(objectName()), "StringGrid1.",
                            {u8"序号", u8"关号", u8"支号", u8"流程角色", u8"要求时间", u8"签核时间", u8"签核状态",
                             u8"收件者编号", u8"收件者", u8"签核者编号", u8"签核者"});
    StringGrid1->setHorizontalHeaderLabels(QStringList(titles.begin(), titles.end()));
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(text::utf8(u8"存成文字档"));
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, this, [this] { N1Click(); });
    connect(StringGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(StringGrid1->viewport()->mapToGlobal(at)); });

    btnOK = new QPushButton(text::utf8(u8"确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] { hide(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);
    // The texts in the interface language: the window is shown without the program window's conversion.
    ConvertOnce();
}

void TfrmVLInfo::setRows(const std::vector<std::vector<std::string>>& rows)
{
    StringGrid1->setRowCount(static_cast<int>(rows.size()));
    std::vector<int> widths(columnCount, firstWidth);
    const QFontMetrics metrics = StringGrid1->fontMetrics();
    const int padding = 2 * metrics.averageCharWidth();
    for (int column = 0; column < columnCount; ++column)
        widths[column] = std::max(
            widths[column], metrics.horizontalAdvance(StringGrid1->horizontalHeaderItem(column)->text()) + padding);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < columnCount && column < static_cast<int>(rows[row].size()); ++column) {
            const QString cell = text::toQString(rows[row][column]);
            StringGrid1->setItem(static_cast<int>(row), column, new QTableWidgetItem(cell));
            widths[column] = std::max(widths[column], metrics.horizontalAdvance(cell) + padding);
        }
    }
    int total = 0;
    for (int column = 0; column < columnCount; ++column) {
        StringGrid1->setColumnWidth(column, widths[column]);
        total += widths[column];
    }
    // Wide enough for every column, within reason.
    resize(std::min(total + 4 * padding, 1280), height());
}

bool TfrmVLInfo::SaveToText(const std::string& path) const
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (int row = -1; file && row < StringGrid1->rowCount(); ++row) {
        std::string line;
        for (int column = 0; column < columnCount; ++column) {
            const QTableWidgetItem* item =
                row < 0 ? StringGrid1->horizontalHeaderItem(column) : StringGrid1->item(row, column);
            line += (column == 0 ? "" : "\t") + (item != nullptr ? text::fromQString(item->text()) : std::string());
        }
        file << line << "\r\n";
    }
    file.close();
    return !file.fail();
}

void TfrmVLInfo::N1Click()
{
    QFileDialog dialog(this, N1->text(), QString(),
                       TDDObject::OwnText(*this, "SaveDialog1.filter", u8"文字档 (*.txt)"));
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    DialogService::instance().runModal(dialog);
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString file = dialog.selectedFiles().front();
    if (!SaveToText(file.toStdString())) {
        owner_.ShowInterfaceMessage(text::fromQString(TDDObject::OwnText(*this, "msgSaveFailed", u8"文档保存失败 !")));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace orvane
