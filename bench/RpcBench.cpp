// Round trips of the wire protocol over loopback against the same call made in
// process. Each round trip is timed on its own so that the median and the 99th
// percentile can be reported next to Google Benchmark's mean.

#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"
#include "platform/rpc/RpcServer.h"

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

// Times each call of `call` and reports the median and 99th percentile in microseconds.
template <typename Call>
void timeEach(benchmark::State& state, Call&& call)
{
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(call());
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
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
    timeEach(state, [&] { return echo->call("Echo", {argument}); });
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
    timeEach(state, [&] { return echo->call("Echo", {Variant(42)}); });
}

BENCHMARK(BM_LoopbackInvoke)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoopbackInvoke100Rows)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InProcessInvoke)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvane
