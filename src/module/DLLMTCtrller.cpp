#include "module/DLLMTCtrller.h"

#include "ui/DialogService.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <array>
#include <stdexcept>

namespace orvane {

ControllerFactory DLLControllerClass = nullptr;
ProgramFormFactory frmVozurazClass = nullptr;

namespace {

// The controller unit's initialisation.
const bool controllerRegistered = (DLLControllerClass = &TDLLMTCtrller::Create, true);

} // namespace

TDLLMTCtrller::~TDLLMTCtrller()
{
    if (form_ == nullptr)
        return;
    // A destructor cannot raise: a failing close handler is reported by the guard and the form
    // is freed all the same.
    guarded("TDLLMTCtrller.Destroy", [this] { CloseProgram(0); });
    if (form_ != nullptr)
        guarded("TDLLMTCtrller.Destroy", [this] { CloseProgram(1); });
}

void TDLLMTCtrller::GetFormText(std::u16string& text)
{
    if (form_ != nullptr)
        text = text::toQString(form_->formText()).toStdU16String();
}

std::int16_t TDLLMTCtrller::GetVisible()
{
    return form_ != nullptr && form_->isVisible() ? -1 : 0;
}

void TDLLMTCtrller::SetVisible(std::int16_t show)
{
    if (form_ == nullptr)
        return;
    form_->setVisible(show != 0);
    if (show != 0 && form_ != nullptr) {
        if (form_->isMinimized())
            form_->showNormal();
        form_->raise();
    }
}

std::uintptr_t TDLLMTCtrller::GetWindowHandle()
{
    return form_ != nullptr ? static_cast<std::uintptr_t>(form_->winId()) : 0;
}

std::int32_t TDLLMTCtrller::Execute(Variant params)
{
    std::int32_t result = -1;
    if (form_ == nullptr) {
        if (frmVozurazClass == nullptr)
            throw std::logic_error("ZTK DLL Internal Error :\rNot Assign \"frmVozurazClass\" varible");
        form_ = frmVozurazClass();
        formShown_ = false;
        form_->brokers().setHostObject(HostObject);
        NotifyCreated(form_);
        InstallHooks();
    }
    if (form_->PrepareProgram(params))
        result = 0;
    return result;
}

void TDLLMTCtrller::InstallHooks()
{
    savedShow_ = std::move(form_->OnShow);
    form_->OnShow = [this](QObject* sender) { FormShowHook(sender); };
    savedHide_ = std::move(form_->OnHide);
    form_->OnHide = [this](QObject* sender) { FormHideHook(sender); };
    savedDestroy_ = std::move(form_->OnDestroy);
    form_->OnDestroy = [this](QObject* sender) { FormDestroyHook(sender); };
    savedClose_ = std::move(form_->OnClose);
    form_->OnClose = [this](QObject* sender, CloseAction& action) { FormCloseHook(sender, action); };
}

std::int32_t TDLLMTCtrller::SetStartKey(Variant params)
{
    if (form_ == nullptr || !params.isArray())
        return -1;
    try {
        form_->setStartKey(params[1].toString());
    } catch (const std::exception&) {
        return -1; // no element 1, or one that is not a single value
    }
    return 0;
}

RightsSet TDLLMTCtrller::NarrowRights(RightsSet rights, std::int32_t rightsMask)
{
    // Mask bit n (from 0x01) guards this rights element; element 8 is never masked.
    static constexpr std::array<std::size_t, 8> elementOfBit{0, 3, 2, 1, 4, 5, 6, 7};
    for (std::size_t bit = 0; bit < elementOfBit.size(); ++bit) {
        if ((rightsMask & (1 << bit)) == 0)
            rights.reset(elementOfBit[bit]);
    }
    return rights;
}

std::uint8_t TDLLMTCtrller::StartModeOf(std::int32_t mode)
{
    if (mode >= 0 && mode <= 5)
        return static_cast<std::uint8_t>(mode);
    switch (mode) {
    case 7: return 7;
    case 8: return 8;
    case 10: return 9;
    default: return 0; // 6, 9 and every unknown mode start plain
    }
}

bool TDLLMTCtrller::TakesStartValue(std::int32_t mode)
{
    return mode == 7 || mode == 8 || mode == 10;
}

std::int32_t TDLLMTCtrller::SetStartMode(std::int32_t mode, std::int32_t rightsMask, Variant value)
{
    if (form_ == nullptr)
        return -1;
    form_->setRightsSet(NarrowRights(form_->rightsSet(), rightsMask));
    form_->UpdateCommandStates();
    form_->setStartMode(StartModeOf(mode));
    if (TakesStartValue(mode))
        form_->setStartValue(std::move(value));
    return 0;
}

void TDLLMTCtrller::RunModal(Variant& result)
{
    if (form_ == nullptr)
        return;
    DialogService::instance().runModal(*form_);
    // A form that freed itself while modal has left its value with the controller.
    result = form_ != nullptr ? form_->resultValue() : ResultValue;
    CloseProgram(0);
}

void TDLLMTCtrller::CloseProgram(std::int32_t flag)
{
    if (form_ == nullptr || form_->destroying())
        return;
    if (flag == 0) {
        CloseAction action = CloseAction::Hide;
        FormCloseHook(form_, action);
        if (form_ == nullptr)
            return;
    }
    TZtForm::Free(form_);
}

std::int32_t TDLLMTCtrller::GetLoginInfo(Variant& info)
{
    if (form_ == nullptr)
        return -1;
    const TBrokers& brokers = form_->brokers();
    info = Variant::arrayOf({brokers.userId(), brokers.companyId(), brokers.programId(), brokers.programRow()[0]});
    return 0;
}

bool TDLLMTCtrller::IsClosed()
{
    return form_ == nullptr;
}

std::int32_t TDLLMTCtrller::RenewStart()
{
    if (form_ == nullptr || formShown_)
        return -1;
    return form_->RenewProgram() ? 0 : -1;
}

void TDLLMTCtrller::FormShowHook(QObject* sender)
{
    formShown_ = true;
    if (savedShow_)
        savedShow_(sender);
    TDLLBaseController::FormShowHook(sender);
}

void TDLLMTCtrller::FormHideHook(QObject* sender)
{
    if (savedHide_)
        savedHide_(sender);
    TDLLBaseController::FormHideHook(sender);
}

void TDLLMTCtrller::FormDestroyHook(QObject* sender)
{
    if (form_ == nullptr)
        return;
    ResultCode = form_->resultCode();
    ResultValue = form_->resultValue();
    // Forgotten before the handlers run: the shell may ask IsClosed, or free this controller,
    // while it hears of the destruction, so nothing here touches the controller afterwards.
    form_ = nullptr;
    if (savedDestroy_)
        savedDestroy_(sender);
    TDLLBaseController::FormDestroyHook(sender);
}

void TDLLMTCtrller::FormCloseHook(QObject* sender, CloseAction& action)
{
    if (savedClose_)
        savedClose_(sender, action);
    TDLLBaseController::FormCloseHook(sender, action);
}

} // namespace orvane
