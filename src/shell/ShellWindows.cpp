#include "shell/ShellWindows.h"

namespace orvane {

namespace {

// Element of the lookup request that asks for the first row without a window.
constexpr int takeFirstRowElement = 3;

} // namespace

bool ShellWindows::takesFirstRow(const Variant& request)
{
    if (!request.isArray() || request.dimensions() != 1)
        return false;
    const int index = request.lowBound() + takeFirstRowElement;
    if (index > request.highBound())
        return false;
    const Variant& flag = request[index];
    return flag.isBoolean() ? flag.asBoolean() : flag.toIntegerOrZero() != 0;
}

Variant ShellWindows::chooseLookupRow(const LookupList& list)
{
    if (!takesFirstRow(list.request) || !list.rows.isArray() || list.rows.array().empty())
        return {};
    return list.rows.array().elements()[0];
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
