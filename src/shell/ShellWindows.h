#pragma once
// The windows the shell's components need and the programs it starts. The host object asks
// these interfaces; the Qt shell implements them with real windows, and without one the
// defaults below answer as a shell without a screen would. Client thread only.

#include "platform/lookup/LookupAnswer.h"
#include "platform/lookup/LookupRequest.h"
#include "shell/ServerText.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

// A lookup list as the lookup window shows it.
struct LookupList {
    LookupRequest request; // what the caller asked for
    LookupAnswer page;     // the first page the lookup service answered
    // The page that follows the given number of rows already shown; empty when the list
    // cannot fetch more.
    std::function<LookupAnswer(std::size_t shown)> nextPage;
    int dateStyle = 1;         // how the installation shows dates (SYS001, SYS002)
    std::string dateSeparator; // in date, year-month and year columns
    ServerText serverText;     // the list's titles and texts as the interface shows them
};

class ShellWindows {
public:
    virtual ~ShellWindows() = default;

    // The row the user chose, or none. Default: none (no screen to choose on).
    virtual std::optional<std::vector<Variant>> chooseLookupRow(const LookupList& list);
    // The date the user picked (YYYYMMDD text). Default: the given date unchanged.
    virtual std::string inputDay(const Variant& date);
};

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;

    // Starts a program of the suite: identity [user, company, program, window handle], filter,
    // parameters, mode; the program may leave a value in result. Answers 0 or more when started,
    // -1 to -7 for the launch errors. Default: -1, the program is not there.
    virtual int execWork(const Variant& identity, const Variant& filter, const Variant& params, int mode,
                         Variant& result);
    // Shows the help topic [program family, topic]. Default: nothing.
    virtual void callHelp(const Variant& topic);
};

} // namespace orvane
