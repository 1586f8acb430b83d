#pragma once
// TDLLMTCtrller: the controller of a program module. Execute makes the program's main form
// (the class registered in frmVozurazClass), hooks the form's show, hide, destroy and close
// events so that the shell hears of them after the form's own handlers, and keeps the form's
// results after the form is gone. The controller owns the form.
//
// Client thread only.

#include "framework/VozurazCF.h"
#include "module/DLLBaseCtrller.h"

namespace orvane {

// Makes a controller: the class a module registers for GetController.
using ControllerFactory = TDLLBaseController* (*)();

// The module's registered classes; both unassigned until the module's initialisation.
extern ControllerFactory DLLControllerClass;
extern ProgramFormFactory frmVozurazClass;

class TDLLMTCtrller : public TDLLBaseController {
public:
    static TDLLBaseController* Create() { return new TDLLMTCtrller(); }

    // Closes a form that is still open (reporting 320 and 304).
    ~TDLLMTCtrller() override;

    void GetFormText(std::u16string& text) override;
    std::int16_t GetVisible() override;
    void SetVisible(std::int16_t show) override;
    std::uintptr_t GetWindowHandle() override;
    // Makes the form when there is none and starts it; 0 when the start succeeded, else -1.
    // Errors of the start reach the caller.
    std::int32_t Execute(Variant params) override;
    std::int32_t SetStartKey(Variant params) override;
    std::int32_t SetStartMode(std::int32_t mode, std::int32_t rightsMask, Variant value) override;
    void RunModal(Variant& result) override;
    // Flag 0 runs the close handlers (320) first; any flag frees the form (304).
    void CloseProgram(std::int32_t flag) override;
    std::int32_t GetLoginInfo(Variant& info) override;
    bool IsClosed() override;
    void FormShowHook(QObject* sender) override;
    void FormHideHook(QObject* sender) override;
    void FormDestroyHook(QObject* sender) override;
    void FormCloseHook(QObject* sender, CloseAction& action) override;
    // -1 with no form or a form that has been shown; else the form's RenewProgram.
    std::int32_t RenewStart() override;

    TfrmVozuraz* Form() const { return form_; }

    // The rights set left after narrowing rights by the shell's mask (bits 0x01..0x80).
    static RightsSet NarrowRights(RightsSet rights, std::int32_t rightsMask);
    // The form's start mode for a shell mode, and whether that mode hands in a start value.
    static std::uint8_t StartModeOf(std::int32_t mode);
    static bool TakesStartValue(std::int32_t mode);

private:
    // Saves the form's own handlers and routes the form's events through the hooks.
    void InstallHooks();

    TfrmVozuraz* form_ = nullptr;    // owned; null until Execute and after the form is destroyed
    bool formShown_ = false;         // the form has been shown: it may hold a clerk's work
    TZtForm::NotifyEvent savedShow_; // the form's own handlers, called before the shell hears
    TZtForm::NotifyEvent savedHide_;
    TZtForm::NotifyEvent savedDestroy_;
    TZtForm::CloseEvent savedClose_;
};

} // namespace orvane
