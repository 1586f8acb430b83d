#include "salesorder/Tavi52GF.h"

#include "framework/DDObject.h"
#include "platform/text/ByteText.h"
#include "salesorder/OrderDialogEntry.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orvane {

namespace {

constexpr std::pair<const char*, const char8_t*> partTypes[] = {
    {"P", u8"P:采购件"}, {"M", u8"M:自制件"},    {"S", u8"S:委外加工件"},
    {"Y", u8"Y:虚设件"}, {"F", u8"F:Feature件"}, {"O", u8"O:Option件"},
};

// The design-time titles of the columns of optionFields.
constexpr std::array<const char8_t*, TfrmTavi52GF::optionFields.size()> optionTitles{
    u8"料件品号", u8"品名", u8"规格", u8"属性", u8"数量", u8"工艺顺序", u8"材料类型", u8"投料间距", u8"备注"};

constexpr int partTypeColumn = 4; // MB025C, after the choice and three item columns

} // namespace

TfrmTavi52GF::TfrmTavi52GF(TfrmVozuraz& owner) : TfrmZtDialog(owner)
{
    setObjectName(QStringLiteral("frmTavi52GF"));
    setWindowTitle(text::utf8(u8"选配信息查询"));
    lvForm = new QTreeWidget(this);
    lvForm->setObjectName(QStringLiteral("lvForm"));
    lvForm->setRootIsDecorated(false);
    lvForm->setAllColumnsShowFocus(true);
    lvForm->setUniformRowHeights(true);
    // Column titles and row texts are the dialog's own dictionary texts, parts named by field.
    QStringList titles{TDDObject::OwnText(*this, "choice", u8"选择")};
    for (std::size_t i = 0; i < optionFields.size(); ++i)
        titles << TDDObject::OwnText(*this, optionFields[i], optionTitles[i]);
    lvForm->setHeaderLabels(titles);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), text::utf8(u8"确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), text::utf8(u8"取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 8);
    layout->addWidget(lvForm, 1);
    layout->addLayout(buttonRow(*BitBtn1, *BitBtn2));
    resize(760, 320);

    connect(lvForm, &QTreeWidget::itemDoubleClicked, this,
            guardedSlot("lvFormDblClick",
                        [this](QTreeWidgetItem* item, int) { toggle(lvForm->indexOfTopLevelItem(item)); }));
    connect(BitBtn1, &QPushButton::clicked, this, guardedSlot("BitBtn1Click", [this] { setModalResult(mrOK); }));
    connect(BitBtn2, &QPushButton::clicked, this, guardedSlot("BitBtn2Click", [this] { setModalResult(mrCancel); }));
}

std::string TfrmTavi52GF::PartTypeText(std::string_view code) const
{
    for (const auto& [key, caption] : partTypes) {
        if (code == key)
            return text::fromQString(TDDObject::OwnText(*this, "MB025C." + std::string(key), caption));
    }
    return std::string(code);
}

void TfrmTavi52GF::addOption(const Option& option)
{
    options_.push_back(option);
    auto* item = new QTreeWidgetItem(lvForm);
    for (std::size_t i = 0; i < option.values.size() && i < optionFields.size(); ++i) {
        const int column = static_cast<int>(i) + 1;
        const std::string& value = option.values[i];
        item->setText(column, text::toQString(column == partTypeColumn ? PartTypeText(value) : value));
    }
    showChoice(*item, option.chosen);
    if (lvForm->topLevelItemCount() == 1)
        lvForm->setCurrentItem(item);
    for (int column = 0; column < lvForm->columnCount(); ++column)
        lvForm->resizeColumnToContents(column);
}

void TfrmTavi52GF::showChoice(QTreeWidgetItem& item, bool chosen) const
{
    item.setText(0, chosen ? TDDObject::OwnText(*this, "chosen", u8"是") : TDDObject::OwnText(*this, "notChosen", u8"否"));
    item.setIcon(0, style()->standardIcon(chosen ? QStyle::SP_DialogYesButton : QStyle::SP_DialogNoButton));
}

void TfrmTavi52GF::toggle(int row)
{
    if (row < 0 || row >= static_cast<int>(options_.size()))
        return;
    const auto picked = static_cast<std::size_t>(row);
    const bool choose = !options_[picked].chosen;
    // A feature takes one part: choosing a row gives up the one chosen before, or the window's
    // check of one row per feature would refuse the second after the old rows were replaced.
    for (std::size_t i = 0; i < options_.size(); ++i) {
        const bool chosen = i == picked ? choose : options_[i].chosen && !choose;
        if (chosen != options_[i].chosen) {
            options_[i].chosen = chosen;
            showChoice(*lvForm->topLevelItem(static_cast<int>(i)), chosen);
        }
    }
}

std::vector<TfrmTavi52GF::Option> TfrmTavi52GF::options() const
{
    return options_;
}

bool TfrmTavi52GF::FormKeyDown(QKeyEvent& event)
{
    // Space or Enter in the list toggles its row, as a double-click does.
    const bool toggleKey =
        event.key() == Qt::Key_Space || event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (toggleKey && focusWidget() == lvForm) {
        toggle(lvForm->indexOfTopLevelItem(lvForm->currentItem()));
        return true;
    }
    return TfrmZtDialog::FormKeyDown(event);
}

} // namespace orvane
