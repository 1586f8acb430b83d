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
    // A logged-in session with its program list; the window goes before the session.
    struct Started {
        std::unique_ptr<ShellSession> session;
        std::unique_ptr<MainWindow> window;
    };

    Started directLogin(const TOrvaneIniC& configuration);
    // Nothing started when the user cancels the login window.
    Started interactiveLogin(const TOrvaneIniC& configuration);
    // Logs in and reads the program list; raises ServerAccessError when either fails.
    Started logIn(const TOrvaneIniC& configuration, ServerCredentials credentials);
    // Smoke run: reports the session and the started programs on standard output.
    int smoke(ShellSession& session, MainWindow& window);
    // Shows and writes a failure that ends the start; answers 1.
    int fail(const std::string& message);

    ShellOptions options_;
    std::unique_ptr<ShellWindows> windows_;
};

} // namespace orvane
