// "CheckValue" of the shell's services against the seeded demonstration database, in
// process and over loopback TCP through the real server objects, with the median and
// the 99th percentile of each round trip.

#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"
#include "platform/rpc/RpcServer.h"
#include "server/app/ServerObjects.h"
#include "server/db/SqliteDatabase.h"
#include "server/schema/DemoSeed.h"
#include "server/services/SessionAuthenticator.h"

#include "RoundTripTiming.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace orvane {
namespace {

// A seeded SQLite installation with the server objects registered, shared by the benchmarks.
struct Installation {
    Installation()
    {
        folder = std::filesystem::temp_directory_path() / ("orvane-bench-" + std::to_string(getpid()));
        const ConnectionPool::Factory factory = sqliteFactory(folder);
        seedDemo(*factory());
        context = registerServerObjects(std::make_shared<ConnectionPool>(factory, 8), ServicesOptions{}, registry);
        server = std::make_unique<RpcServer>(RpcServerOptions{"127.0.0.1", 0, 4, {}, passwordAuthenticator(context)},
                                             registry);
        server->start();
    }
    ~Installation()
    {
        server.reset();
        context.reset();
        std::filesystem::remove_all(folder);
    }

    std::filesystem::path folder;
    AutomationRegistry registry;
    std::shared_ptr<ServiceContext> context;
    std::unique_ptr<RpcServer> server;
};

Installation& installation()
{
    static Installation instance;
    return instance;
}

// The currency check of the order head: CMSMF kind "01" keyed by the currency code.
Variant checkCurrency(Dispatch& services)
{
    std::vector<Variant> args{"CMSMF", "01", "PRTest50", Variant::arrayOf({"RMB"}), Variant()};
    return services.invoke("CheckValue", args);
}

void checkValueInProcess(benchmark::State& state)
{
    DispatchPtr services = installation().registry.create("OrvaneS.Services");
    services->call("Login", {"ZT", std::string(demoPassword), "PRTest50"});
    bench::timeEach(state, [&] { return checkCurrency(*services); });
}

void checkValueOverLoopback(benchmark::State& state)
{
    auto client = RpcConnection::connect("127.0.0.1", installation().server->port());
    client->login({"ZT", std::string(demoPassword), "PRTest50"});
    auto services = client->createObject("OrvaneS.Services");
    bench::timeEach(state, [&] { return checkCurrency(*services); });
}

BENCHMARK(checkValueInProcess)->Iterations(20000);
BENCHMARK(checkValueOverLoopback)->Iterations(20000);

} // namespace
} // namespace orvane
