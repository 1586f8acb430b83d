#include "salesorder/Tavi52DF.h"

#include "controls/F2Button.h"
#include "framework/VozurazCF.h"
#include "platform/lookup/LookupAnswer.h"
#include "platform/text/ByteText.h"
#include "salesorder/OrderDialogEntry.h"
#include "services/Brokers.h"
#include "ui/FocusReasons.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orvane {

namespace {

// A quotation is copied once confirmed: not while it may still change, nor once void.
constexpr const char* confirmedQuotation = "Y";
// The confirmation code's column of the quotation head (COPTA "04").
constexpr int confirmationColumn = 8;

QLineEdit* requiredEdit(QWidget* parent, const char* name, int maxLength)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    edit->setMinimumWidth(120);
    paintRequired(*edit);
    return edit;
}

} // namespace

std::optional<Variant> readQuotationHead(TBrokers& brokers, const Variant& type, const Variant& number)
{
    Variant heads;
    if (!brokers.QueryData("COPTA", "04", Variant::arrayOf({type, number}), heads) || !heads.isArray() ||
        heads.highBound() < heads.lowBound())
        return std::nullopt;
    return heads[heads.lowBound()];
}

TfrmTavi52DF::TfrmTavi52DF(TfrmVozuraz& owner, Variant& copyKey) : TfrmZtDialog(owner), copyKey_(copyKey)
{
    setObjectName(QStringLiteral("frmTavi52DF"));
    setWindowTitle(text::utf8(u8"复制前置单据"));
    lbl001 = new QLabel(text::utf8(u8"报价单别"), this);
    lbl001->setObjectName(QStringLiteral("lbl001"));
    ed001 = requiredEdit(this, "ed001", 4);
    lbl001->setBuddy(ed001);
    btn001 = lookupButton(this, "btn001", ed001);
    btn001->setToolTip(text::utf8(u8"来源信息查询"));
    lbl002 = new QLabel(text::utf8(u8"报价单号"), this);
    lbl002->setObjectName(QStringLiteral("lbl002"));
    ed002 = requiredEdit(this, "ed002", 11);
    lbl002->setBuddy(ed002);
    btnOK = new QPushButton(text::utf8(u8"确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel = new QPushButton(text::utf8(u8"取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setVerticalSpacing(10);
    layout->addWidget(lbl001, 0, 0);
    layout->addWidget(ed001, 0, 1);
    layout->addWidget(btn001, 0, 2);
    layout->addWidget(lbl002, 1, 0);
    layout->addWidget(ed002, 1, 1);
    layout->addLayout(buttonRow(*btnOK, *btnCancel), 2, 0, 1, 3);

    // A new type makes the number typed for the old one meaningless.
    connect(ed001, &QLineEdit::textChanged, ed002, &QLineEdit::clear);
    connect(btnOK, &QPushButton::clicked, this, guardedSlot("btnOKClick", [this] { setModalResult(mrOK); }));
    connect(btnCancel, &QPushButton::clicked, this,
            guardedSlot("btnCancelClick", [this] { setModalResult(mrCancel); }));
}

void TfrmTavi52DF::showEvent(QShowEvent* event)
{
    TfrmZtDialog::showEvent(event);
    ed001->setFocus();
}

void TfrmTavi52DF::OpenF2Window(int& key, QWidget* control)
{
    if (control != ed001) {
        TfrmZtDialog::OpenF2Window(key, control);
        return;
    }
    key = 0;
    const std::string typed = text::fromQString(ed001->text());
    Variant chosen;
    // Keys: the type, any customer, confirmed quotations only (the only ones copied).
    brokers().F2GetData(Variant("COPTA"), Variant("04"), Variant::arrayOf({typed, "", confirmedQuotation}), false,
                        Variant(typed), owner().windowHandle(), false, chosen);
    if (chosen.isUnassigned())
        return;
    const LookupAnswer answer = LookupAnswer::fromVariant(chosen);
    if (answer.rows.empty() || answer.rows.front().size() < 2)
        return;
    const std::vector<Variant>& row = answer.rows.front();
    ed001->setText(text::toQString(text::trim(row[0].toString()))); // empties the number first
    ed002->setText(text::toQString(text::trim(row[1].toString())));
}

bool TfrmTavi52DF::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ed002 && event->type() == QEvent::FocusOut && !checking_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (!focusTakenOver(reason))
            guarded("ed002Exit", [this] { ed002Exit(); });
    }
    return TfrmZtDialog::eventFilter(watched, event);
}

void TfrmTavi52DF::ed002Exit()
{
    if (text::trim(text::fromQString(ed002->text())).empty() || focusWidget() == btnCancel)
        return;
    copyable();
}

bool TfrmTavi52DF::copyable()
{
    const auto head = readQuotationHead(brokers(), text::trim(text::fromQString(ed001->text())),
                                        text::trim(text::fromQString(ed002->text())));
    if (head && head->isArray() && head->highBound() - head->lowBound() >= confirmationColumn &&
        text::trim((*head)[head->lowBound() + confirmationColumn].toString()) == confirmedQuotation)
        return true;
    checking_ = true;
    const Variant none[] = {Variant("")};
    owner().ShowMessageCode("E", "100061", false, none);
    ed002->setFocus();
    checking_ = false;
    return false;
}

bool TfrmTavi52DF::filled(QLineEdit& edit)
{
    if (!text::trim(text::fromQString(edit.text())).empty())
        return true;
    const Variant label[] = {Variant(LabelFor(&edit))};
    owner().ShowMessageCode("E", "000003", false, label);
    edit.setFocus();
    return false;
}

bool TfrmTavi52DF::FormCloseQuery()
{
    if (modalResult() == mrOK) {
        // The number is checked here too: a click on OK shows the refusal of the number it leaves,
        // and would otherwise still close the dialog.
        if (!filled(*ed001) || !filled(*ed002) || !copyable())
            return false;
        if (!copyKey_.isArray() || copyKey_.array().size() < 2)
            copyKey_ = Variant::arrayOf({"", ""});
        copyKey_.array().elements()[0] = Variant(text::trim(text::fromQString(ed001->text())));
        copyKey_.array().elements()[1] = Variant(text::trim(text::fromQString(ed002->text())));
    }
    ed001->clear(); // empties the number too
    return true;
}

} // namespace orvane
