#include "salesorder/Tavi52IF.h"

#include "controls/DBEdit.h"
#include "framework/DDObject.h"
#include "framework/VozurazCF.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"
#include "salesorder/OrderDialogEntry.h"
#include "salesorder/Tavi52CD.h"
#include "services/Brokers.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

namespace {

struct LineEdit {
    const char* field;
    const char8_t* caption;
    int row;
    int column; // 0 the left pair of the dialog, 1 the right one
};

// Left the item and what was ordered; right its units and, beside each ordered quantity, what
// was delivered of it.
constexpr LineEdit lineEdits[] = {
    {"TD004", u8"品号", 0, 0},       {"TD010", u8"单位", 0, 1},           {"TD005", u8"品名", 1, 0},
    {"TD023", u8"小单位", 1, 1},     {"TD006", u8"规格", 2, 0},           {"TD036", u8"包装单位", 2, 1},
    {"TD008", u8"订单数量", 3, 0},   {"TD009", u8"已交数量", 3, 1},       {"TD024", u8"赠品量", 4, 0},
    {"TD025", u8"赠品已交量", 4, 1}, {"TD032", u8"订单包装数量", 5, 0},   {"TD033", u8"已交包装数量", 5, 1},
    {"TD034", u8"赠品包装量", 6, 0}, {"TD035", u8"赠品已交包装量", 6, 1},
};

// The edits hidden until the unit mode asks for them.
constexpr const char* unitModeFields[] = {"TD023", "TD036", "TD032", "TD034", "TD033", "TD035"};
constexpr const char* packageFields[] = {"TD036", "TD032", "TD034", "TD033", "TD035"};

// Each delivered quantity beside the quantity it delivers of.
struct DeliveredOf {
    const char* delivered;
    const char* ordered;
};
constexpr DeliveredOf deliveredOf[] = {{"TD009", "TD008"}, {"TD025", "TD024"}, {"TD033", "TD032"}, {"TD035", "TD034"}};

bool delivered(std::string_view field)
{
    for (const char* name : TfrmTavI52IF::deliveredFields) {
        if (field == name)
            return true;
    }
    return false;
}

} // namespace

TfrmTavI52IF::TfrmTavI52IF(TfrmVozuraz& owner, TdmTavi52& module) : TfrmZtDialog(owner), module_(module)
{
    setObjectName(QStringLiteral("frmTavI52IF"));
    setWindowTitle(text::utf8(u8"输入已交数量"));
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, 110); // the right labels start clear of the left edits
    for (const LineEdit& line : lineEdits) {
        auto* edit = new DBEdit(this);
        edit->setObjectName(QStringLiteral("ed") + QString::fromLatin1(line.field));
        edit->setDataSource(&module.dsBody1);
        edit->setDataField(QString::fromLatin1(line.field));
        if (!delivered(line.field)) {
            edit->setControlReadOnly(true);
            edit->setFocusPolicy(Qt::NoFocus);
            paintButtonFace(*edit);
        }
        auto* label = new QLabel(text::utf8(line.caption), this);
        label->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(line.field));
        label->setBuddy(edit);
        grid->addWidget(label, line.row, line.column * 2);
        grid->addWidget(edit, line.row, line.column * 2 + 1);
    }
    grid->setRowStretch(grid->rowCount(), 1);
    btnOK = new QPushButton(text::utf8(u8"确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btn2 = new QPushButton(text::utf8(u8"取消"), this);
    btn2->setObjectName(QStringLiteral("btn2"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 10);
    layout->addLayout(grid, 1);
    layout->addLayout(buttonRow(*btnOK, *btn2));

    connect(btnOK, &QPushButton::clicked, this, guardedSlot("btnOKClick", [this] { setModalResult(mrOK); }));
    connect(btn2, &QPushButton::clicked, this, guardedSlot("btn2Click", [this] { setModalResult(mrCancel); }));
}

TfrmTavI52IF::~TfrmTavI52IF()
{
    if (prepared_)
        setDeliveredWritable(false);
}

DBEdit* TfrmTavI52IF::editOf(std::string_view field) const
{
    return findChild<DBEdit*>(QStringLiteral("ed") + text::toQString(field));
}

void TfrmTavI52IF::showField(std::string_view field, bool shown)
{
    if (DBEdit* edit = editOf(field))
        edit->setVisible(shown);
    if (auto* label = findChild<QLabel*>(QStringLiteral("lbl") + text::toQString(field)))
        label->setVisible(shown);
}

void TfrmTavI52IF::PrepareLayout()
{
    for (const char* field : unitModeFields)
        showField(field, false);
    int height = 225;
    const std::string unitMode = brokers().SystemParameter("SYS024");
    if (unitMode == "2") {
        showField("TD023", true);
    } else if (unitMode == "3") {
        for (const char* field : packageFields)
            showField(field, true);
        height = 284;
    }
    resize(width() > 0 ? std::max(width(), 520) : 520, height);
    setDeliveredWritable(true);
    prepared_ = true;
}

void TfrmTavI52IF::setDeliveredWritable(bool writable)
{
    for (const char* name : deliveredFields) {
        if (Field* field = module_.cdsBody1.findField(name))
            field->setReadOnly(!writable);
        if (DBEdit* edit = editOf(name))
            edit->refresh();
    }
}

bool TfrmTavI52IF::saveLine()
{
    // A quantity typed but not yet written (its edit not left) counts.
    for (const char* name : deliveredFields) {
        if (DBEdit* edit = editOf(name); edit != nullptr && edit->isVisible() && !edit->updateRecord())
            return false;
    }
    if (!withinOrdered())
        return false;
    ClientDataSet& head = module_.cdsMain;
    try {
        if (isEditing(module_.cdsBody1))
            module_.cdsBody1.post();
        if ((isEditing(head) || head.hasChanges()) && !module_.SaveData(head))
            return false; // the refusal was reported; the typed quantities stay for a correction
    } catch (const SilentAbort&) {
        return false; // a check refused the line and said why
    }
    if (isEditing(head))
        head.cancel();
    const ClientDataSet& line = module_.cdsBody1;
    result_ = Variant::arrayOf({line.fieldByName("TD009").asFloat(), line.fieldByName("TD025").asFloat(),
                                line.fieldByName("TD033").asFloat(), line.fieldByName("TD035").asFloat()});
    return true;
}

bool TfrmTavI52IF::withinOrdered()
{
    const ClientDataSet& line = module_.cdsBody1;
    for (const DeliveredOf& pair : deliveredOf) {
        DBEdit* edit = editOf(pair.delivered);
        if (edit == nullptr || !edit->isVisible() ||
            line.fieldByName(pair.delivered).asFloat() <= line.fieldByName(pair.ordered).asFloat())
            continue;
        owner().ShowInterfaceMessage(text::fromQString(
            TDDObject::OwnText(*this, "msgNotAbove", u8"[%1]不可大于[%2]!")
                .arg(text::toQString(LabelFor(edit)), text::toQString(LabelFor(editOf(pair.ordered))))));
        edit->setFocus();
        return false;
    }
    return true;
}

void TfrmTavI52IF::dropChanges()
{
    // The line's edit is given up rather than posted: a line check has nothing to refuse here.
    if (isEditing(module_.cdsBody1))
        module_.cdsBody1.cancel();
    ClientDataSet& head = module_.cdsMain;
    if (isEditing(head))
        head.cancel();
    if (head.hasChanges())
        head.cancelUpdates();
}

bool TfrmTavI52IF::FormCloseQuery()
{
    if (modalResult() == mrOK) {
        if (!saveLine())
            return false;
    } else {
        dropChanges();
    }
    return true;
}

void TfrmTavI52IF::showEvent(QShowEvent* event)
{
    TfrmZtDialog::showEvent(event);
    // The cursor would stand before the figure shown, so that 1 typed over 0 made 10.
    if (DBEdit* edit = editOf("TD009")) {
        edit->setFocus();
        edit->selectAll();
    }
}

bool ShowIF(TfrmVozuraz& owner, TdmTavi52& module, Variant& result)
{
    const DialogOnce<TfrmTavI52IF> dialog(new TfrmTavI52IF(owner, module));
    dialog->PrepareLayout();
    if (dialog->ShowModal() != TfrmZtDialog::mrOK)
        return false;
    result = dialog->result();
    return true;
}

} // namespace orvane
