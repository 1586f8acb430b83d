#pragma once
// The shell's command line.
//
//   orvane [--demo | --user USER --company COMPANY --password-file FILE] [--open PROGRAM]...
//          [--smoke]
//
//   --demo               log in directly with the demonstration installation's login (the
//                        [Demo Login] section of its OrvaneC.ini: ZT in PRTest50)
//   --user/--company     log in directly with the password read from FILE (its first line); the
//   --password-file      password never appears on the command line
//   --open PROGRAM       start the program after the login (repeatable)
//   --smoke              no user at the screen: dialogs are scripted, the programs of --open are
//                        started and closed again, and the exit status tells whether all started
//
// Without a direct login the login window asks.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

struct ShellOptions {
    bool directLogin = false;           // --demo or --user/--company/--password-file
    std::string user;                   // UTF-8, as typed
    std::string company;                // UTF-8
    std::filesystem::path passwordFile; // empty with --demo
    bool demo = false;
    std::vector<std::string> open; // programs to start after the login
    bool smoke = false;
};

// The options, or the reason the command line is refused (for the usage message).
struct ParsedOptions {
    std::optional<ShellOptions> options;
    std::string error;
};

ParsedOptions parseShellOptions(const std::vector<std::string>& arguments);

// The usage text.
const char* shellUsage();

// The first line of a password file, without its line end; raises ConfigError naming the file
// when it cannot be read.
std::string readPasswordFile(const std::filesystem::path& file);

} // namespace orvane
