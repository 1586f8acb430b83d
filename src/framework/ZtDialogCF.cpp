#include "framework/ZtDialogCF.h"

#include "controls/DBLabel.h"
#include "controls/MaskEdit.h"
#include "framework/LookupKeys.h"
#include "framework/VozurazCF.h"
#include "platform/lookup/LookupAnswer.h"
#include "platform/text/ByteText.h"
#include "platform/text/FieldTextRules.h"
#include "services/Brokers.h"
#include "services/ZtMsg.h"
#include "ui/DialogService.h"
#include "ui/Guard.h"
#include "ui/LookupRequestEvent.h"
#include "ui/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace orvane {

namespace {

bool isMemo(const QWidget* control)
{
    return qobject_cast<const QPlainTextEdit*>(control) != nullptr ||
           qobject_cast<const QTextEdit*>(control) != nullptr;
}

} // namespace

TfrmZtDialog::TfrmZtDialog(TfrmVozuraz& owner) : TZtForm(&owner), owner_(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    ZtConverter().setHostObject(owner.brokers().hostObject());
    ZtConverter().setDisplayMode(owner.ZtConverter().displayMode());
    qApp->installEventFilter(this);
}

TfrmZtDialog::~TfrmZtDialog()
{
    qApp->removeEventFilter(this);
}

TBrokers& TfrmZtDialog::brokers() const
{
    return owner_.brokers();
}

int TfrmZtDialog::dateStyle() const
{
    return owner_.dateStyle();
}

const std::string& TfrmZtDialog::dateSeparator() const
{
    return owner_.dateSeparator();
}

int TfrmZtDialog::ShowModal()
{
    modalResult_ = mrNone;
    ConvertOnce();
    DialogService::instance().runModal(*this);
    return modalResult_;
}

void TfrmZtDialog::setModalResult(int result)
{
    modalResult_ = result;
    if (result != mrNone)
        close();
}

void TfrmZtDialog::closeEvent(QCloseEvent* event)
{
    TZtForm::closeEvent(event);
    if (!event->isAccepted())
        modalResult_ = mrNone;
}

std::string TfrmZtDialog::DateText(std::string_view stored) const
{
    return owner_.DateText(stored);
}

std::string TfrmZtDialog::StoredDate(std::string_view typed) const
{
    if (text::isBlankMaskText(typed, dateSeparator()))
        return {};
    return text::dateStorageText(typed, dateStyle(), dateSeparator());
}

std::string TfrmZtDialog::Today() const
{
    return owner_.Today();
}

void TfrmZtDialog::AddDateEdit(MaskEdit& edit)
{
    edit.setEditMask(text::dateEditMask(dateStyle(), dateSeparator()));
    dateEdits_.insert(&edit);
}

void TfrmZtDialog::AddCodeLookup(QLineEdit& edit, std::string table, std::string query)
{
    codeLookups_[&edit] = {std::move(table), std::move(query)};
}

bool TfrmZtDialog::isDateEdit(const QWidget* control) const
{
    return dateEdits_.contains(control);
}

void TfrmZtDialog::OpenF2Window(int& key, QWidget* control)
{
    if (isDateEdit(control)) {
        auto* edit = static_cast<MaskEdit*>(control);
        const std::string chosen = brokers().ShowInputDay(Variant(StoredDate(edit->fieldText())));
        if (text::isValidStoredDate(chosen))
            edit->setFieldText(DateText(chosen));
        key = 0;
        return;
    }
    const auto found = codeLookups_.find(control);
    if (found == codeLookups_.end())
        return;
    auto* edit = static_cast<QLineEdit*>(control);
    const std::string typed = text::fromQString(edit->text());
    Variant chosen;
    brokers().F2GetData(Variant(found->second.first), Variant(found->second.second), Variant::arrayOf({typed}), false,
                        Variant(typed), owner_.windowHandle(), false, chosen);
    if (!chosen.isUnassigned()) {
        const LookupAnswer answer = LookupAnswer::fromVariant(chosen);
        if (!answer.rows.empty() && !answer.rows.front().empty())
            edit->setText(text::toQString(answer.rows.front().front().toString()));
    }
    key = 0;
}

void TfrmZtDialog::OpenF3Window(int& /*key*/, QWidget* /*control*/) {}

void TfrmZtDialog::OpenF4Window(int& /*key*/, QWidget* /*control*/) {}

std::string TfrmZtDialog::LabelFor(const QWidget* control) const
{
    if (control == nullptr)
        return {};
    for (const QLabel* label : findChildren<QLabel*>()) {
        const auto* dbLabel = qobject_cast<const TDBLabel*>(label);
        if (label->buddy() == control || (dbLabel != nullptr && dbLabel->boundControl() == control))
            return text::fromQString(QString(label->text()).remove(u'&'));
    }
    return {};
}

bool TfrmZtDialog::CheckCode(QLineEdit& edit, std::string_view table, std::string_view query, std::string_view mode,
                             const Variant& keys)
{
    const std::string typed = text::trim(text::fromQString(edit.text()));
    const bool hasKeys = keys.isArray() && !keys.array().empty();
    if (typed.empty() && !hasKeys)
        return true;
    Variant row;
    if (brokers().CheckValue(table, query, hasKeys ? keys : Variant::arrayOf({typed}), row))
        return true;
    const Variant label[] = {Variant(LabelFor(&edit))};
    if (mode == "W")
        owner_.ShowMessageCode("W", "000004", false, label);
    else
        owner_.ShowMessageCode("E", "000001", false, label);
    return false;
}

void TfrmZtDialog::showText(const std::string& text, bool error) const
{
    ShowCodeDialog(MessageOwner{brokers(), owner_.ZtConverter(), windowTitle()}, text,
                   error ? DialogKind::Error : DialogKind::Warning, {DialogAnswer::Ok},
                   owner_.ZtConverter().displayMode());
}

void TfrmZtDialog::lookup(int key, QWidget* control)
{
    if (key == keyF2)
        OpenF2Window(key, control);
    else if (key == keyF3)
        OpenF3Window(key, control);
    else
        OpenF4Window(key, control);
}

bool TfrmZtDialog::FormKeyDown(QKeyEvent& event)
{
    QWidget* control = focusWidget();
    switch (event.key()) {
    case Qt::Key_F2: lookup(keyF2, control); return true;
    case Qt::Key_F3: lookup(keyF3, control); return true;
    case Qt::Key_F4: lookup(keyF4, control); return true;
    case Qt::Key_Escape: setModalResult(mrCancel); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (isMemo(control) || inGrid(control))
            return false;
        // Enter on a button presses it, so the keyboard reaches OK and Next too; a check box
        // (Space ticks it) is passed like an edit, where Enter ticked and unticked it for good.
        if (auto* button = qobject_cast<QAbstractButton*>(control); button != nullptr && !button->isCheckable())
            button->click();
        else
            focusNextChild();
        return true;
    default: return false;
    }
}

bool TfrmZtDialog::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::KeyPress || widget == nullptr || widget->window() != this)
        return TZtForm::eventFilter(watched, event);
    bool swallowed = false;
    guarded("TfrmZtDialog.FormKeyDown", [&] { swallowed = FormKeyDown(static_cast<QKeyEvent&>(*event)); });
    return swallowed;
}

bool TfrmZtDialog::event(QEvent* event)
{
    int key = 0;
    switch (static_cast<int>(event->type())) {
    case LookupRequestEvent::F2Request: key = keyF2; break;
    case LookupRequestEvent::F3Request: key = keyF3; break;
    case LookupRequestEvent::F4Request: key = keyF4; break;
    default: return TZtForm::event(event);
    }
    QWidget* control = static_cast<LookupRequestEvent*>(event)->control();
    guarded("TfrmZtDialog.LookupRequest", [&] { lookup(key, control); });
    return true;
}

} // namespace orvane
