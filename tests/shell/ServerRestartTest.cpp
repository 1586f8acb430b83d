// The client after its server went away: the orvane-server process stopped, killed or frozen
// and started again on the same port, over real TCP. The next call logs in again (the shell's
// session with its password, a program's session with a new ticket and its "Connect" repeated);
// a call the broken connection was answering fails with a text saying so and is not sent again.
#include "support/ErrorOf.h"
#include "support/ServerProcess.h"
#include "support/TempFolder.h"

#include "server/schema/DemoSeed.h"
#include "shell/ServerAccess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

namespace orvane::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* serverAddress = "127.0.0.2";

// orvane-server over a seeded SQLite folder. It first listens on a port the system chooses, and
// on that same port again after each restart.
class RestartableServer {
public:
    RestartableServer() : config_(folder_.path() / "OrvaneS.ini")
    {
        writeConfig();
        EXPECT_EQ(ServerProcess(ORVANE_SERVER, {"--config", config_.string(), "--init-demo"}).wait(), 0);
        start();
    }

    void start()
    {
        writeConfig();
        process_.emplace(ORVANE_SERVER, std::vector<std::string>{"--config", config_.string()});
        port = process_->listeningPort();
    }
    void stop(int signal)
    {
        process_->stop(signal);
        process_.reset();
    }
    // Stops the process with its connections open: calls are taken but not answered.
    void freeze() const { process_->freeze(); }
    void thaw() const { process_->thaw(); }

    std::uint16_t port = 0;

private:
    void writeConfig() const
    {
        writeFile(config_, "[Server]\nAddress=" + std::string(serverAddress) + "\nPort=" + std::to_string(port) +
                               "\nThreads=2\n");
    }

    TempFolder folder_;
    std::filesystem::path config_;
    std::optional<ServerProcess> process_;
};

// One server through every way of going away: the client's shell session and a program's session of its own.
TEST(ServerRestartTest, AfterARestartTheNextCallsLogInAgainOnEverySessionAndACallCutOffIsNotSentAgain)
{
    RestartableServer server;
    ServerAccess shell({.address = serverAddress, .port = server.port},
                       ServerCredentials{"ZT", std::string(demoPassword), "PRTest50"});
    DispatchPtr services = shell.createObject("OrvaneS.Services");
    DispatchPtr order = shell.createObjectInOwnSession("TavIS52S.Class1");
    // Connected as the order program does it: Connect and SvrData in one batch.
    std::vector<Invocation> logIn{{"Connect", {Variant::arrayOf({"TAVI52", "ZT", "PRTest50", "PRTest50", false})}, {}, {}},
                                  {"SvrData", {}, {}, {}}};
    order->invokeAll(logIn);
    ASSERT_FALSE(logIn[0].error);
    ASSERT_EQ(logIn[0].result, Variant(0));
    const Variant today = services->call("Today");

    server.stop(SIGTERM);
    server.start();
    EXPECT_EQ(services->call("Today"), today) << "the shell's session, logged in again";
    EXPECT_EQ(order->call("TODAY"), today) << "the program's session, with its Connect repeated";

    server.stop(SIGKILL);
    EXPECT_NE(errorOf([&] { services->call("Today"); }).find("cannot connect"), std::string::npos);
    server.start();
    EXPECT_EQ(services->call("Today"), today) << "a failed reconnect is tried again by the next call";
    EXPECT_EQ(order->call("TODAY"), today);

    // A call the server took and never answered.
    server.freeze();
    std::thread crash([&server] {
        std::this_thread::sleep_for(300ms);
        server.stop(SIGKILL);
    });
    const std::string error = errorOf([&] { order->call("TODAY"); });
    crash.join();
    EXPECT_NE(error.find("broke while it was answering"), std::string::npos) << error;
    EXPECT_NE(error.find("not asked again"), std::string::npos) << error;
    server.start();
    EXPECT_EQ(order->call("TODAY"), today) << "the next call connects again";
}

// A server stopped while it holds a call (SIGSTOP) and let go on later: the clerk's call gives up
// after the call timeout instead of waiting for good, and once the server goes on the next call
// connects again. The timeout leaves a login room even in a sanitized build on a busy machine.
TEST(ServerRestartTest, ACallToAStoppedServerFailsAfterTheTimeoutAndTheNextOneWorksOnceItGoesOn)
{
    RestartableServer server;
    ServerAccess shell({.address = serverAddress, .port = server.port, .callTimeout = 2s},
                       ServerCredentials{"ZT", std::string(demoPassword), "PRTest50"});
    DispatchPtr services = shell.createObject("OrvaneS.Services");
    const Variant today = services->call("Today");

    server.freeze();
    const auto asked = std::chrono::steady_clock::now();
    const std::string error = errorOf([&] { services->call("Today"); });
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 10s);
    EXPECT_NE(error.find("no answer within"), std::string::npos) << error;
    EXPECT_NE(error.find("not asked again"), std::string::npos) << error;

    server.thaw();
    EXPECT_EQ(services->call("Today"), today);
}

} // namespace
} // namespace orvane::test
