#pragma once
// DLLBaseCtrller: TDLLBaseController, the controller a program module hands to the shell: the one object through which
// the shell starts, shows, narrows, runs modally and closes the program. The shell is built against this class; the
// virtual operations keep their order (the shell and the module agree on the table), so new operations go at the end
// only.
//
// Client thread only.

#include "platform/variant/Variant.h"
#include "ui/CloseAction.h"

#include <cstdint>
#include <functional>
#include <string>

class QObject;

namespace orvane {

class TDLLBaseController {
public:
    // The shell's notification handler: code (256 created, 272 shown, 288 hidden, 304 being
    // destroyed, 320 closed) and the controller.
    using NotifyEvent = std::function<void(std::int32_t code, TDLLBaseController* sender)>;

    static constexpr std::int32_t notifyCreated = 0x100;
    static constexpr std::int32_t notifyShown = 0x110;
    static constexpr std::int32_t notifyHidden = 0x120;
    static constexpr std::int32_t notifyDestroying = 0x130;
    static constexpr std::int32_t notifyClosed = 0x140;

    virtual ~TDLLBaseController() = default;

    virtual void GetFormText(std::u16string& text) = 0;                                                    // 0
    virtual std::int16_t GetVisible() = 0;                                                                 // 1: 0 or -1
    virtual void SetVisible(std::int16_t show) = 0;                                                        // 2
    virtual std::uintptr_t GetWindowHandle() = 0;                                                          // 3
    virtual std::int32_t Execute(Variant params) = 0;                                                      // 4
    virtual std::int32_t SetStartKey(Variant params) = 0;                                                  // 5
    virtual std::int32_t SetStartMode(std::int32_t mode, std::int32_t rightsMask, Variant value) = 0;      // 6
    virtual void RunModal(Variant& result) = 0;                                                            // 7
    virtual void CloseProgram(std::int32_t flag) = 0;                                                      // 8
    virtual std::int32_t GetLoginInfo(Variant& info) = 0;                                                  // 9
    virtual bool IsClosed() = 0;                                                                           // 10
    virtual void NotifyCreated(QObject* sender) { Notify(notifyCreated, sender); }                         // 11
    virtual void FormShowHook(QObject* sender) { Notify(notifyShown, sender); }                            // 12
    virtual void FormHideHook(QObject* sender) { Notify(notifyHidden, sender); }                           // 13
    virtual void FormDestroyHook(QObject* sender) { Notify(notifyDestroying, sender); }                    // 14
    virtual void FormCloseHook(QObject* sender, CloseAction& /*action*/) { Notify(notifyClosed, sender); } // 15
    virtual void Notify(std::int32_t code, QObject* /*ignored*/)                                           // 16
    {
        if (OnNotify)
            OnNotify(code, this);
    }
    virtual void Reserved() {} // 17
    // Brings a form that Execute prepared, and that was never shown, up to date for showing it now:
    // the user's rights and the program's data as a fresh start would read them. 0 when the form
    // can be shown as it is; -1 when it cannot (the shell then starts the program afresh). A
    // controller that cannot renew keeps this body.
    virtual std::int32_t RenewStart() { return -1; } // 18

    Variant HostObject;          // the shell's host object, set before Execute
    std::int32_t ResultCode = 0; // the form's result code, copied when the form is destroyed
    Variant ResultValue;         // the form's result value, copied when the form is destroyed
    NotifyEvent OnNotify;        // may be empty
};

// The module's only export: a new controller, owned by the caller.
using GetControllerFunction = TDLLBaseController* (*)();

} // namespace orvane
