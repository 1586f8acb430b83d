// Round trips of the wire protocol over loopback against the same call made in
// process. Each round trip is timed on its own so that the median and the 99th
// percentile can be reported next to Google Benchmark's mean.

#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"
#include "platform/rpc/RpcServer.h"

#include "RoundTripTiming.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace orvane {
namespace {

class BenchEcho : public AutomationObject {
public:
    BenchEcho() : AutomationObject("RpcBench.Echo")
    {
        method("Echo", 1, [](std::span<Variant> args) { return args[0]; });
    }
};

AutomationRegistry& benchRegistry()
{
    static AutomationRegistry registry;
    static const bool registered = [] {
        registry.registerClass("RpcBench.Echo", [] { return std::make_shared<BenchEcho>(); });
        return true;
    }();
    (void)registered;
    return registry;
}

Variant rows(int count)
{
    Variant table = Variant::createArray({0, count - 1}, {0, 9});
    int n = 0;
    for (auto& cell : table.array().elements())
        cell = n % 2 ? Variant(n++ * 1.5) : Variant("ITEM-" + std::to_string(n++));
    return table;
}

void remoteEcho(benchmark::State& state, Variant argument)
{
    RpcServer server(RpcServerOptions{"127.0.0.1", 0, 2, {}}, benchRegistry());
    server.start();
    const auto echo = RpcConnection::connect("127.0.0.1", server.port())->createObject("RpcBench.Echo");
    bench::timeEach(state, [&] { return echo->call("Echo", {argument}); });
}

void BM_LoopbackInvoke(benchmark::State& state)
{
    remoteEcho(state, Variant(42));
}

void BM_LoopbackInvoke100Rows(benchmark::State& state)
{
    remoteEcho(state, rows(100));
}

void BM_InProcessInvoke(benchmark::State& state)
{
    const auto echo = benchRegistry().create("RpcBench.Echo");
    bench::timeEach(state, [&] { return echo->call("Echo", {Variant(42)}); });
}

BENCHMARK(BM_LoopbackInvoke)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoopbackInvoke100Rows)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InProcessInvoke)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvane
