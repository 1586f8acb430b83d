#include "shell/DateInputComponent.h"

#include "shell/ShellWindows.h"

namespace orvane {

DateInputComponent::DateInputComponent(ShellWindows& windows) : AutomationObject("Orvane.InputDate"), windows_(windows)
{
    method("ShowInputDay", 1, [this](std::span<Variant> args) { return Variant(windows_.inputDay(args[0])); });
}

} // namespace orvane
