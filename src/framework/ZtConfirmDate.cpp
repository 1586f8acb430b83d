#include "framework/ZtConfirmDate.h"

#include "controls/F2Button.h"
#include "controls/MaskEdit.h"
#include "framework/VozurazCF.h"
#include "platform/text/ByteText.h"
#include "platform/text/FieldTextRules.h"
#include "ui/FocusReasons.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <memory>

namespace orvane {

TZtConfirmDateForm::TZtConfirmDateForm(TfrmVozuraz& owner) : TfrmZtDialog(owner)
{
    setObjectName(QStringLiteral("ZtConfirmDateForm"));
    setWindowTitle(text::utf8(u8"审核"));
    lbl01 = new QLabel(text::utf8(u8"审核"), this);
    lbl01->setObjectName(QStringLiteral("lbl01"));
    edDate01 = new MaskEdit(this);
    edDate01->setObjectName(QStringLiteral("edDate01"));
    edDate01->setToolTip(text::utf8(u8"[F2]日期快手"));
    edDate01->setMinimumWidth(110);
    lbl01->setBuddy(edDate01);
    AddDateEdit(*edDate01);
    btn01 = new TF2Button(this);
    btn01->setObjectName(QStringLiteral("btn01"));
    btn01->setF2Control(edDate01);
    btn01->setFocusPolicy(Qt::NoFocus); // F2 in the edit does the same
    btn01->setFixedWidth(22);
    btnOK = new QPushButton(text::utf8(u8"确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel = new QPushButton(text::utf8(u8"取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(14);
    layout->addWidget(lbl01, 0, 0);
    layout->addWidget(edDate01, 0, 1);
    layout->setColumnMinimumWidth(2, 24); // the date button beside the edit
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons, 1, 0, 1, 3);

    connect(btnOK, &QPushButton::clicked, this, guardedSlot("btnOKClick", [this] { btnOKClick(); }));
    connect(btnCancel, &QPushButton::clicked, this,
            guardedSlot("btnCancelClick", [this] { setModalResult(mrCancel); }));
}

void TZtConfirmDateForm::btnOKClick()
{
    setModalResult(mrOK);
}

bool TZtConfirmDateForm::FormCloseQuery()
{
    if (modalResult() != mrOK)
        return true;
    const std::string stored = StoredDate(edDate01->fieldText());
    if (stored.empty() || stored == "0") {
        const Variant label[] = {Variant(LabelFor(edDate01))};
        owner().ShowMessageCode("E", "000003", false, label);
    } else if (!text::isValidStoredDate(stored)) {
        const Variant empty[] = {Variant("")};
        owner().ShowMessageCode("E", "000005", false, empty);
    } else {
        date_ = stored;
        return true;
    }
    edDate01->setFocus();
    return false;
}

void TZtConfirmDateForm::showEvent(QShowEvent* event)
{
    TfrmZtDialog::showEvent(event);
    // The cursor of a filled date mask stands past its last slot, where digits typed are lost.
    edDate01->setFocus();
    edDate01->selectAll();
}

bool TZtConfirmDateForm::FormKeyDown(QKeyEvent& event)
{
    if (focusWidget() == edDate01) {
        const QString typed = event.text();
        if (event.key() == Qt::Key_Delete)
            return true; // a masked date keeps its separators in place
        if (typed == QStringLiteral("$")) {
            edDate01->setFieldText(DateText(Today()));
            return true;
        }
        // Only digits and Backspace type into the date; other characters are dropped.
        const bool character = !typed.isEmpty() && typed.front().isPrint();
        if (character && !typed.front().isDigit())
            return true;
    }
    return TfrmZtDialog::FormKeyDown(event);
}

bool TZtConfirmDateForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edDate01 && !checking_) {
        const auto reason = event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut
                                ? static_cast<QFocusEvent*>(event)->reason()
                                : Qt::OtherFocusReason;
        const bool byUser = !focusTakenOver(reason);
        if (event->type() == QEvent::FocusIn && byUser)
            guarded("edDate01Enter", [this] { edDate01Enter(); });
        else if (event->type() == QEvent::FocusOut && byUser)
            guarded("edDate01Exit", [this] { edDate01Exit(); });
    }
    return TfrmZtDialog::eventFilter(watched, event);
}

void TZtConfirmDateForm::edDate01Enter()
{
    if (!text::isBlankMaskText(edDate01->fieldText(), dateSeparator()))
        return;
    if (const auto* previous = qobject_cast<const QLineEdit*>(edDate01->previousInFocusChain());
        previous != nullptr && previous != edDate01)
        edDate01->setText(previous->text());
}

void TZtConfirmDateForm::edDate01Exit()
{
    if (focusWidget() == btnCancel)
        return;
    const std::string stored = StoredDate(edDate01->fieldText());
    if (stored.empty() || text::isValidStoredDate(stored))
        return;
    checking_ = true;
    const Variant empty[] = {Variant("")};
    owner().ShowMessageCode("E", "000005", false, empty);
    edDate01->setFocus();
    checking_ = false;
}

std::string ShowConfirmDate(TfrmVozuraz& owner, std::string_view mode, std::string_view caption,
                            std::string_view documentDate)
{
    const std::unique_ptr<TZtConfirmDateForm, FormFree> form(new TZtConfirmDateForm(owner));
    form->edDate01->setFieldText(form->DateText(mode == "1" ? form->Today() : std::string(documentDate)));
    // The label is converted with the dialog's other texts when it is shown.
    form->lbl01->setText(caption.empty() ? text::utf8(u8"审核日期") : text::toQString(caption));
    return form->ShowModal() == TfrmZtDialog::mrOK ? form->date() : std::string();
}

} // namespace orvane
