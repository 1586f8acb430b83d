#pragma once
// A client installation around the demonstration server, as a program module meets it: a client
// folder whose OrvaneC.ini names the road's server, installation settings pointing at it, the
// server connector installed, and the shell's real host object, whose launcher records what a
// program asks of the shell.

#include "support/DemoHost.h"

#include "framework/ModuleOwner.h"
#include "platform/rpc/ServerConnector.h"
#include "shell/ShellWindows.h"
#include "support/Installation.h"

#include <fstream>
#include <vector>

namespace orvane::test {

// Where the order module is installed, as a program form names its own module file.
inline constexpr const char* moduleFile = "/opt/orvane/C_PKG/tavi52c.so";

class RecordingLauncher : public ProgramLauncher {
public:
    int execWork(const Variant& identity, const Variant& /*filter*/, const Variant& /*params*/, int /*mode*/,
                 Variant& /*result*/) override
    {
        started.push_back(identity[2].toString());
        return answer;
    }
    void callHelp(const Variant& topic) override
    {
        if (helpFails)
            throw std::runtime_error("the help viewer is not installed");
        helpTopics.push_back(topic);
    }

    int answer = 0;                   // what ExecWork answers
    std::vector<std::string> started; // programs asked for
    std::vector<Variant> helpTopics;  // CallHelp arguments
    bool helpFails = false;           // CallHelp raises
};

class ProgramHostTest : public DemoHostTest<ShellWindows, RecordingLauncher> {
protected:
    void SetUp() override
    {
        DemoHostTest::SetUp();
        if (IsSkipped())
            return;
        const std::filesystem::path client = folder_ / "client";
        std::filesystem::create_directories(client);
        const bool embedded = road() == Road::Embedded;
        std::ofstream(client / "OrvaneC.ini")
            << "[Server Information]\nComputerName=" << (embedded ? "127.0.0.1" : tcpAddress)
            << "\nServerPort=" << (embedded ? 211 : server_->port()) << "\n[Client Components]\nLangType=CHS\n";
        useSettings(folder_, "ClientPath=" + client.string() + "\n");
        // Drafts go to the test's folder, never to the user's own data folder.
        setenv("XDG_DATA_HOME", (folder_ / "data-home").c_str(), 1);
        ServerConnector::install(server->connector());
    }
    void TearDown() override
    {
        ServerConnector::install(nullptr);
        DemoHostTest::TearDown();
    }

    Variant hostObject() const { return Variant(DispatchPtr(host)); }
    // The shell's start parameters for user ZT of the demonstration company.
    static Variant startParams() { return Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 0, Variant()}); }

    EnvironmentGuard dataHome_{"XDG_DATA_HOME"};
};

// The same with the side a form gives a data module's brokers.
class ModuleHostTest : public ProgramHostTest {
protected:
    ModuleOwner owner;
    TBrokers brokers{owner, owner};
};

} // namespace orvane::test
