#include "shell/ShellWindows.h"

namespace orvane {

std::optional<std::vector<Variant>> ShellWindows::chooseLookupRow(const LookupList&)
{
    return std::nullopt;
}

std::string ShellWindows::inputDay(const Variant& date)
{
    return date.isArray() || date.isDispatch() ? std::string() : date.toString();
}

int ProgramLauncher::execWork(const Variant&, const Variant&, const Variant&, int, Variant&)
{
    return -1;
}

void ProgramLauncher::callHelp(const Variant&) {}

} // namespace orvane
