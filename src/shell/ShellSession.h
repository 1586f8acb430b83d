#pragma once
// One logged-in shell: the road to the application server, the connector program modules
// reach their server objects through, the host object with its components, the client classes
// programs create by name, the program list and the programs that run. Made by a successful
// login; ending it closes every program, then removes the client classes and the connector,
// then leaves the server.
//
// Client thread only.

#include "shell/ProgramCatalog.h"
#include "shell/ProgramHost.h"
#include "shell/ServerAccess.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

class LanguageTables;
class ShellWindows;

class ShellSession {
public:
    // Logs in (raises ServerAccessError naming the server when it cannot, or when anything after
    // the login fails, such as the connection breaking meanwhile), makes the host
    // object and registers the client classes programs create by name ("DmsC.DMSClass1",
    // writing into documentFolder) in the process's registry; programs are looked for in
    // workFolders. tables and windows outlive the session.
    ShellSession(ServerAccessOptions options, ServerCredentials credentials, std::vector<std::string> workFolders,
                 std::filesystem::path documentFolder, const LanguageTables& tables, ShellWindows& windows);
    ShellSession(const ShellSession&) = delete;
    ShellSession& operator=(const ShellSession&) = delete;
    ~ShellSession();

    ProgramCatalog& catalog() { return *catalog_; }
    ProgramHost& programs() { return *programs_; }
    const SessionIdentity& identity() const { return identity_; }
    // "address:port" of the server, as error texts and the status line show it.
    const std::string& endpoint() const { return access_->endpoint(); }
    bool embedded() const { return access_->embedded(); }

private:
    // Everything after the login: the program list, the dictionary, the host object, the client
    // classes and the connector.
    void setUp(std::vector<std::string> workFolders, std::filesystem::path documentFolder, const LanguageTables& tables,
               ShellWindows& windows);
    // The client's copies of the data dictionary in its interface language, from the server.
    void refreshClientDictionary();

    std::unique_ptr<ServerAccess> access_; // outlives everything below
    std::unique_ptr<ProgramCatalog> catalog_;
    SessionIdentity identity_;
    std::unique_ptr<ProgramHost> programs_;
    Variant host_; // the host object the programs receive
};

} // namespace orvane
