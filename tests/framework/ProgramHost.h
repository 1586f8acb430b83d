#pragma once
// A client installation around the demonstration server, as a program module meets it: a client
// folder whose OrvaneC.ini names the road's server, installation settings pointing at it, the
// server connector installed, and the shell's real host object, whose launcher records what a
// program asks of the shell.

#include "support/DemoHost.h"

#include "framework/ModuleOwner.h"
#include "platform/data/Provider.h"
#include "platform/rpc/ServerConnector.h"
#include "shell/ShellWindows.h"
#include "support/Installation.h"

#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
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

// The server's provider with its next save lost on the way, as when the connection breaks at that
// moment: the request before it reaches the server, or the answer after the server committed it
// (how a broken connection fails a call is the roads' own test).
class AnswerLosingProvider : public Provider {
public:
    explicit AnswerLosingProvider(std::shared_ptr<Provider> server) : server_(std::move(server)) {}
    DataPacket getRecords(int count, const Variant& params, bool reset) override
    {
        return server_->getRecords(count, params, reset);
    }
    ApplyResult applyUpdates(const Delta& delta, int maxErrors) override { return applyUpdates(delta, maxErrors, ""); }
    ApplyResult applyUpdates(const Delta& delta, int maxErrors, const std::string& requestId) override
    {
        if (std::exchange(loseNextRequest, false))
            throw std::runtime_error("the connection broke before the request reached the server");
        ApplyResult result = server_->applyUpdates(delta, maxErrors, requestId);
        if (whileAnswering)
            whileAnswering();
        if (std::exchange(loseNextAnswer, false))
            throw std::runtime_error("the connection broke before the answer came");
        return result;
    }

    bool loseNextRequest = false;
    bool loseNextAnswer = false;
    // Runs once the server has answered, before the answer comes back (or is lost).
    std::function<void()> whileAnswering;

private:
    std::shared_ptr<Provider> server_;
};

} // namespace orvane::test
