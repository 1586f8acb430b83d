#pragma once
// The answers of a program start ("ExecWork" and the program menu): 0 when the program runs,
// a negative launch code when it does not; launchText (services/InterfaceTexts.h) is the text the
// user is shown. Which failure gives which code is listed in docs/shell.md.

#include <stdexcept>
#include <string>

namespace orvane {

enum class LaunchCode : int {
    Started = 0,
    NotThere = -1,    // no such program in the company, or its module is in no work folder
    LoadFailed = -2,  // the module cannot be loaded, has no GetController, or gives no controller
    Components = -3,  // the shell's components cannot be handed to the program
    Rights = -4,      // the user's rights for the program cannot be read from the server
    NoRight = -5,     // the user may not run the program
    StartFailed = -6, // the program's Execute or SetStartMode refused or failed
    Unforeseen = -7,  // any other failure
};

// A failed start: the code and what went wrong, for the user and the log.
class LaunchError : public std::runtime_error {
public:
    LaunchError(LaunchCode code, const std::string& detail) : std::runtime_error(detail), code_(code) {}
    LaunchCode code() const { return code_; }

private:
    LaunchCode code_;
};

} // namespace orvane
