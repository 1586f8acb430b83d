#pragma once
// Round-trip benchmarks report the median and the 99th percentile beside Google
// Benchmark's mean, so each call is timed on its own.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace orvane::bench {

// Microseconds one call of `call` takes.
template <typename Call>
double microsOf(Call&& call)
{
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(call());
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

// The median of `micros`, which it sorts.
inline double sortedMedian(std::vector<double>& micros)
{
    std::sort(micros.begin(), micros.end());
    return micros.empty() ? 0 : micros[micros.size() / 2];
}

// Reports the median and 99th percentile of `micros`, which it sorts.
inline void reportMicros(benchmark::State& state, std::vector<double>& micros)
{
    state.counters["median_us"] = sortedMedian(micros);
    state.counters["p99_us"] = micros.empty() ? 0 : micros[micros.size() * 99 / 100];
}

// Times each call of `call` and reports the median and 99th percentile in microseconds.
template <typename Call>
void timeEach(benchmark::State& state, Call&& call)
{
    std::vector<double> micros;
    for (auto _ : state)
        micros.push_back(microsOf(call));
    reportMicros(state, micros);
}

// As timeEach, with a bare round trip (`bare`) timed right after each call, so that both see the
// same state of the machine's cores (an idle core wakes up for a trip, a busy one answers at once):
// also reports the bare trip's median and the call's median in bare trips.
template <typename Call, typename Bare>
void timeEachBesideBare(benchmark::State& state, Call&& call, Bare&& bare)
{
    std::vector<double> micros;
    std::vector<double> bareMicros;
    for (auto _ : state) {
        micros.push_back(microsOf(call));
        bareMicros.push_back(microsOf(bare));
    }
    reportMicros(state, micros);
    state.counters["bare_median_us"] = sortedMedian(bareMicros);
    state.counters["bare_trips"] = state.counters["median_us"] / state.counters["bare_median_us"];
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
