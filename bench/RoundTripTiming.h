#pragma once
// Round-trip benchmarks report the median and the 99th percentile beside Google
// Benchmark's mean, so each call is timed on its own.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace orvane::bench {

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

// Times bare round trips to a services object: a call the server answers without reading data,
// the baseline a benchmark reports its figures beside.
template <typename Services>
void timeBareRoundTrips(benchmark::State& state, Services& services)
{
    timeEach(state, [&] {
        services.invoke("Today", {});
        return 0;
    });
}

} // namespace orvane::bench
