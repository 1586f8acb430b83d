#pragma once
// The windows the shell's components need and the programs it starts. The host object asks
// these interfaces; the Qt shell implements them with real windows, and without one the
// defaults below answer as a shell without a screen would. Client thread only.

#include "platform/variant/Variant.h"

#include <string>

namespace orvane {

// One page of a lookup list, as the lookup service fetched it for the lookup window.
struct LookupList {
    Variant request;     // the caller's 13-element request
    std::string columns; // column specification "label$kind;..."
    Variant rows;        // array of rows, each an array of the columns in order
    bool moreRows = false;
};

class ShellWindows {
public:
    virtual ~ShellWindows() = default;

    // Whether a lookup request asks for the first row without a window (its element 3).
    static bool takesFirstRow(const Variant& request);

    // The row the user chose, or unassigned when none was chosen. Default: the first row when
    // the request's element 3 asks for it (resolve without a window) and there is a row;
    // unassigned otherwise.
    virtual Variant chooseLookupRow(const LookupList& list);
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
