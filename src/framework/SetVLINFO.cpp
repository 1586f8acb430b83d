#include "framework/SetVLINFO.h"

#include "framework/DDObject.h"
#include "framework/VozurazCF.h"
#include "platform/lookup/LookupAnswer.h"
#include "platform/text/ByteText.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

TfrmSetVLINFO::TfrmSetVLINFO(TfrmVozuraz& owner) : TZtForm(&owner), owner_(owner)
{
    setObjectName(QStringLiteral("frmSetVLINFO"));
    setWindowFlags(Qt::Dialog);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(text::utf8(u8"传送表单信息"));

    lbl01 = new QLabel(text::utf8(u8"急件"), this);
    lbl01->setObjectName(QStringLiteral("lbl01"));
    cbo01 = new QComboBox(this);
    cbo01->setObjectName(QStringLiteral("cbo01"));
    // The urgency is the item's text before its "."; the dictionary's texts keep that code.
    cbo01->addItems({TDDObject::OwnText(*this, "cbo01.1", u8"1.一般"), TDDObject::OwnText(*this, "cbo01.2", u8"2.急件"),
                     QString()});
    lbl02 = new QLabel(text::utf8(u8"表单关系人"), this);
    lbl02->setObjectName(QStringLiteral("lbl02"));
    ed02 = new QLineEdit(this);
    ed02->setObjectName(QStringLiteral("ed02"));
    ed02->setMaxLength(10);
    ed02->setToolTip(text::utf8(u8"人员信息查询 (F2)"));
    lbl01->setBuddy(cbo01);
    lbl02->setBuddy(ed02);

    btnOK = new QPushButton(text::utf8(u8"审核"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(text::utf8(u8"取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { hide(); });

    auto* fields = new QGridLayout;
    fields->addWidget(lbl01, 0, 0);
    fields->addWidget(cbo01, 0, 1);
    fields->addWidget(lbl02, 1, 0);
    fields->addWidget(ed02, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    setMinimumWidth(300);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    // The texts in the interface language: the dialog is shown without the program window's conversion.
    ConvertOnce();
}

bool TfrmSetVLINFO::Execute()
{
    cbo01->setCurrentIndex(0);
    ed02->setText(text::toQString(owner_.brokers().userId()));
    // The urgency is mostly left normal: the clerk starts on the contact, whose default is selected
    // so that typing replaces it.
    ed02->setFocus();
    ed02->selectAll();
    accepted_ = false;
    DialogService::instance().runModal(*this);
    return accepted_;
}

std::string TfrmSetVLINFO::urgency() const
{
    const std::string item = text::fromQString(cbo01->currentText());
    return item.substr(0, item.find('.'));
}

std::string TfrmSetVLINFO::contact() const
{
    return text::trim(text::fromQString(ed02->text()));
}

void TfrmSetVLINFO::btnOKClick()
{
    const Variant caption[] = {Variant(text::fromQString(lbl02->text()))};
    if (contact().empty()) {
        owner_.ShowMessageCode("E", "000003", false, caption);
        ed02->setFocus();
        return;
    }
    Variant person;
    if (!owner_.brokers().CheckValue("ZTKMA", "01", Variant::arrayOf({contact()}), person)) {
        owner_.ShowMessageCode("E", "000001", false, caption);
        ed02->setFocus();
        return;
    }
    accepted_ = true;
    hide();
}

void TfrmSetVLINFO::ed02Lookup()
{
    Variant chosen;
    owner_.brokers().F2GetData(Variant("ZTKMA"), Variant("01"), Variant::arrayOf({contact()}), false,
                               Variant(contact()), 0, false, chosen);
    if (chosen.isUnassigned())
        return;
    const LookupAnswer answer = LookupAnswer::fromVariant(chosen);
    if (!answer.rows.empty() && !answer.rows.front().empty())
        ed02->setText(text::toQString(answer.rows.front().front().toString()));
}

void TfrmSetVLINFO::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F2 && ed02->hasFocus()) {
        ed02Lookup();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !btnOK->hasFocus() &&
        !btnCancel->hasFocus()) {
        focusNextChild();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    TZtForm::keyPressEvent(event);
}

} // namespace orvane
