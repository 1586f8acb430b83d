#pragma once
// The shell's date-input service ("Com_InputDate"): "ShowInputDay"(date) lets the user pick a
// date in the shell's date window and answers it as YYYYMMDD text. Client thread only.

#include "platform/variant/Dispatch.h"

namespace orvane {

class ShellWindows;

class DateInputComponent : public AutomationObject {
public:
    // windows outlive the component.
    explicit DateInputComponent(ShellWindows& windows);

private:
    ShellWindows& windows_;
};

} // namespace orvane
