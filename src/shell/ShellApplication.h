#pragma once
// The shell from start to end: reads the client configuration, logs in (directly or through the
// login window), shows the program list, starts the programs asked for on the command line,
// and on the way out closes every program before it leaves the server. Errors go to the user
// through the dialog service and to standard error.
//
// Client thread only; needs a QApplication.

#include "shell/ShellOptions.h"

#include <memory>
#include <string>

namespace orvane {

class MainWindow;
class ShellSession;
class ShellWindows;
class TOrvaneIniC;
struct ServerCredentials;

class ShellApplication {
public:
    explicit ShellApplication(ShellOptions options);
    ~ShellApplication();

    // Runs the shell; answers the process's exit status (0 fine, 1 a failure).
    int run();

private:
    std::unique_ptr<ShellSession> directLogin(const TOrvaneIniC& configuration);
    std::unique_ptr<ShellSession> interactiveLogin(const TOrvaneIniC& configuration);
    std::unique_ptr<ShellSession> logIn(const TOrvaneIniC& configuration, ServerCredentials credentials);
    // Smoke run: reports the session and the started programs on standard output.
    int smoke(ShellSession& session, MainWindow& window);
    // Shows and writes a failure that ends the start; answers 1.
    int fail(const std::string& message);

    ShellOptions options_;
    std::unique_ptr<ShellWindows> windows_;
};

} // namespace orvane
