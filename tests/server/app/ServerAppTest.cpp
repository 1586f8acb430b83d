// The server application: its configuration file, the executable started for real (demo
// data, TCP on loopback, a clean stop on SIGTERM).
#include "platform/config/ConfigError.h"
#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"
#include "server/app/ServerConfig.h"
#include "server/app/ServerLog.h"
#include "server/schema/DemoSeed.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"
#include "support/RawClient.h"
#include "support/ServerProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <thread>

namespace orvane::test {
namespace {

TEST(ServerAppTest, ServerConfigPathsBesideTheFileAndTheKeysRead)
{
    TempFolder folder;
    const auto config = ServerConfig::load(folder.write("empty.ini", ""));
    EXPECT_EQ(config.dataFolder, folder.path() / "data");
    EXPECT_EQ(config.logFile, folder.path() / "orvane-server.log");

    const auto read = ServerConfig::load(folder.write(
        "OrvaneS.ini", "[Server]\nAddress=127.0.0.1\nPort=2110\nThreads=2\n[Database]\nBackend=PostgreSQL\n"
                       "Connection=dbname=orvane\nPoolSize=3\n[Log]\nFile=/var/tmp/x.log\n"));
    EXPECT_EQ(read.address, "127.0.0.1");
    EXPECT_EQ(read.port, 2110);
    EXPECT_EQ(read.threads, 2u);
    EXPECT_EQ(read.backend, DatabaseBackend::Postgres);
    EXPECT_EQ(read.connection, "dbname=orvane");
    EXPECT_EQ(read.poolSize, 3u);
    EXPECT_EQ(read.logFile, "/var/tmp/x.log");

    const auto limited = ServerConfig::load(folder.write("OrvaneS.ini", "[Limits]\nGuestObjects=4\nIdleTimeout=60\n"));
    EXPECT_EQ(limited.serverLimits.guestObjects, 4u);
    EXPECT_EQ(limited.serverLimits.idleTimeout, std::chrono::seconds(60));
}

TEST(ServerAppTest, ServerConfigUnusableValuesNameTheKey)
{
    TempFolder folder;
    const std::pair<const char*, const char*> cases[] = {
        {"[Server]\nPort=70000\n", "[Server] Port=70000"},
        {"[Server]\nPort=21x\n", "[Server] Port=21x"},
        {"[Server]\nAddress=localhost\n", "[Server] Address=localhost is not an IP address"},
        {"[Database]\nBackend=oracle\n", "[Database] Backend=oracle"},
        {"[Database]\nBackend=postgresql\n", "Connection is needed"},
        {"[Limits]\nConnections=0\n", "[Limits] Connections=0 is not a number from 1"},
    };
    for (const auto& [content, expected] : cases)
        EXPECT_TRUE(
            contains(errorOf<ConfigError>([&] { ServerConfig::load(folder.write("bad.ini", content)); }), expected))
            << content;
}

// A log whose write failed (the file could not grow, as on a full disk) writes again once it can.
TEST(ServerAppTest, ServerLogWritesAgainAfterAFailedWrite)
{
    TempFolder folder;
    const auto file = folder / "orvane-server.log";
    ServerLog log(file);
    log.info("started");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit full = saved;
    full.rlim_cur = std::filesystem::file_size(file);
    const auto previous = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    log.info("lost while the disk is full");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    log.info("written once there is room");
    EXPECT_TRUE(contains(readFile(file), "INFO written once there is room"));
}

// A connection from another loopback address that sends wrong logins of `user` back to back
// and reads the first `answers` answers.
void wrongLogins(std::uint16_t port, const char* from, const char* user, int logins, std::size_t answers)
{
    std::string frames;
    for (int i = 0; i < logins; ++i)
        frames += requestFrame(i, "login", {Variant::arrayOf({user, "wrong", "PRTest50"})});
    RawClient client(port, from);
    client.send(frames);
    client.answers(answers);
}

TEST(ServerAppTest, ServerProcessWrongLoginsAreSlowedLoggedAndDoNotStarveARightOne)
{
    TempFolder folder;
    const auto config =
        folder.write("OrvaneS.ini", "[Server]\nAddress=127.0.0.1\nPort=0\n[Limits]\nFreeFailures=3\n").string();
    EXPECT_EQ(ServerProcess(ORVANE_SERVER_BINARY, {"--config", config, "--init-demo"}).wait(), 0);
    ServerProcess server(ORVANE_SERVER_BINARY, {"--config", config});
    const auto port = server.listeningPort();

    std::vector<std::jthread> attackers; // joined also when a check fails and the case ends early
    for (int i = 0; i < 8; ++i)
        attackers.emplace_back([port] { wrongLogins(port, "127.0.0.5", "NOBODY", 40, 2); });
    RpcClientOptions patient;
    patient.callTimeout = std::chrono::seconds(5); // generous: the flood alone would hash for many seconds
    auto clerk = RpcConnection::connect("127.0.0.1", port, patient);
    EXPECT_EQ(clerk->login({"ZT", std::string(demoPassword), "PRTest50"}), Variant(true));
    for (auto& attacker : attackers)
        attacker.join();

    // An account guessed from one address waits on every address, right password or not.
    wrongLogins(port, "127.0.0.6", "SALES01", 3, 3);
    const auto guessed = RpcConnection::connect("127.0.0.1", port);
    const std::vector<Variant> rightLogin{"SALES01", std::string(demoPassword), "PRTest50"};
    EXPECT_TRUE(contains(errorOf([&] { guessed->login(rightLogin); }), "too many failed logins; try again in"));
    // A network session logs in once, by the connection's login, never through an object.
    const DispatchPtr services = clerk->createObject("OrvaneS.Services");
    const std::vector<Variant> login{"SALES01", "x", "PRTest50"};
    EXPECT_TRUE(contains(errorOf([&] { services->call("Login", login); }), "not taken over the network"));

    EXPECT_EQ(server.stop(SIGTERM), 0);
    const std::string logText = readFile(folder.path() / "orvane-server.log");
    EXPECT_TRUE(contains(logText, "WARNING failed login of 'NOBODY' from 127.0.0.5: login refused"));
    EXPECT_TRUE(contains(logText, "failed login of 'SALES01' from 127.0.0.6"));
    EXPECT_TRUE(contains(logText, "INFO stopped"));
}

TEST(ServerAppTest, ServerProcessBadCommandLinesAndConfigurationsFail)
{
    TempFolder folder;
    EXPECT_EQ(ServerProcess(ORVANE_SERVER_BINARY, {}).wait(), 2);
    EXPECT_EQ(ServerProcess(ORVANE_SERVER_BINARY, {"--config"}).wait(), 2);
    const auto bad = folder.write("OrvaneS.ini", "[Database]\nBackend=oracle\n").string();
    EXPECT_EQ(ServerProcess(ORVANE_SERVER_BINARY, {"--config", bad}).wait(), 78);
    // A mistyped path starts no server on the defaults (every address, a new database).
    const auto mistyped = (folder / "OrvaneS.in").string();
    EXPECT_EQ(ServerProcess(ORVANE_SERVER_BINARY, {"--config", mistyped, "--init-demo"}).wait(), 78);
    EXPECT_FALSE(std::filesystem::exists(folder / "data"));
    EXPECT_TRUE(contains(errorOf<ConfigError>([&] { ServerConfig::load(mistyped); }), "no configuration file"));

    // Root does not make files in a folder the service's user owns: the service could not write them.
    if (geteuid() == 0) {
        std::filesystem::create_directory(folder / "data");
        ASSERT_EQ(chown((folder / "data").c_str(), 65534, 65534), 0);
        const auto config = folder.write("OrvaneS.ini", "[Log]\nFile=" + (folder / "orvane.log").string() + "\n");
        EXPECT_EQ(ServerProcess(ORVANE_SERVER_BINARY, {"--config", config.string(), "--init-demo"}).wait(), 78);
        EXPECT_TRUE(std::filesystem::is_empty(folder / "data"));
        EXPECT_FALSE(std::filesystem::exists(folder / "orvane.log"));
    }
}

} // namespace
} // namespace orvane::test
