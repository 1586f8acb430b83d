// bench_clerks_load: N clerks entering orders into a real orvane-server over loopback TCP, each
// in a process of its own with the order window offscreen (Clerk.h). The driver starts the
// server on a fresh demonstration database, starts the clerks, lets them begin together once
// all are logged in, and prints per step the median and 99th percentile beside the bare round
// trip of the same run, the round trips per step, orders per second and the server's CPU per
// order (/proc), then the same for each kind of server call. Not a test: it runs by hand
// (docs/load.md).
//
// Usage: bench_clerks_load [--db sqlite|postgresql] [--clients N] [--orders N] [--lines N]
//                          [--windows shown|hidden]
// Hidden windows run every check, field event and grid update of the shown ones but never
// paint: the clerks' work without the drawing, which on a real site is each clerk's own
// machine's, as the peer's driver, which draws nothing.

#include "Clerk.h"
#include "ServerProcess.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <numeric>
#include <string>
#include <vector>

namespace orvane::bench {
namespace {

struct LoadOptions {
    LoadBackend backend = LoadBackend::Sqlite;
    int clients = 1;
    int orders = 50;
    int lines = 5;
    bool shown = true;
};

LoadOptions parseOptions(int argc, char** argv)
{
    LoadOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--db" && (value == "sqlite" || value == "postgresql"))
            options.backend = value == "sqlite" ? LoadBackend::Sqlite : LoadBackend::Postgres;
        else if (name == "--clients")
            options.clients = std::max(1, std::stoi(value));
        else if (name == "--orders")
            options.orders = std::max(1, std::stoi(value));
        else if (name == "--lines")
            options.lines = std::max(1, std::stoi(value));
        else if (name == "--windows" && (value == "shown" || value == "hidden"))
            options.shown = value == "shown";
        else
            throw std::invalid_argument("unknown option " + name + " " + value);
    }
    return options;
}

// CPU seconds of each process of `pids` that is still there.
std::map<pid_t, double> cpuOf(const std::vector<pid_t>& pids)
{
    std::map<pid_t, double> seconds;
    for (const pid_t pid : pids)
        if (const double used = processCpuSeconds(pid); used > 0)
            seconds[pid] = used;
    return seconds;
}

// The CPU the processes of `now` used since `before`: all of it for those started since (the
// server's connections to the cluster may be opened during the run).
double cpuSince(const std::map<pid_t, double>& before, const std::vector<pid_t>& now)
{
    double seconds = 0;
    for (const pid_t pid : now) {
        const auto earlier = before.find(pid);
        const double used = earlier == before.end() ? 0 : earlier->second;
        if (const double total = processCpuSeconds(pid); total >= used)
            seconds += total - used;
    }
    return seconds;
}

double percentile(std::vector<double> values, double share)
{
    std::ranges::sort(values);
    return values[std::min(values.size() - 1, static_cast<std::size_t>(static_cast<double>(values.size()) * share))];
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string first;
    in >> first;
    return first;
}

// The clerks' samples together, printed as docs/load.md's table.
// CPU seconds of the run: the server process, the PostgreSQL cluster, the clerks' processes.
struct RunCpu {
    double server = 0;
    double cluster = 0;
    double clerks = 0;
};

// Each kind of server call on its own, beside the bare round trip's call (Today, answered without
// the database): what the server's checks cost a clerk, apart from the window's work around them.
void reportCalls(const std::map<std::string, std::vector<double>, std::less<>>& calls)
{
    const auto bare = calls.find("Today");
    if (bare == calls.end())
        return;
    const double bareMedian = percentile(bare->second, 0.5);
    std::printf("\n| server call | calls | median µs | p99 µs | median / bare |\n|---|---|---|---|---|\n");
    for (const auto& [kind, micros] : calls)
        std::printf("| %s%s | %zu | %.0f | %.0f | %.1f |\n", kind.c_str(),
                    kind == "Today" ? " (the bare round trip)" : "", micros.size(), percentile(micros, 0.5),
                    percentile(micros, 0.99), percentile(micros, 0.5) / bareMedian);
    std::printf("\n");
}

void report(const LoadOptions& options, const std::vector<ClerkSamples>& clerks, double startSeconds, const RunCpu& cpu,
            long confirmed)
{
    ClerkSamples all;
    double end = startSeconds;
    for (const ClerkSamples& clerk : clerks) {
        all.orders += clerk.orders;
        end = std::max(end, clerk.endSeconds);
        for (const auto& [name, micros] : clerk.micros) {
            all.micros[name].insert(all.micros[name].end(), micros.begin(), micros.end());
            const std::vector<double>& waited = clerk.callMicros.at(name);
            all.callMicros[name].insert(all.callMicros[name].end(), waited.begin(), waited.end());
            all.roundTrips[name] += clerk.roundTrips.at(name);
        }
        for (const auto& [kind, micros] : clerk.calls)
            all.calls[kind].insert(all.calls[kind].end(), micros.begin(), micros.end());
        all.errors.insert(all.errors.end(), clerk.errors.begin(), clerk.errors.end());
    }
    const double elapsed = end - startSeconds;
    const bool sqlite = options.backend == LoadBackend::Sqlite;
    std::printf("\norvane-server on %s, %d clients, %d orders of %d lines entered without a refusal (%zu refused, %ld "
                "confirmed in the database), windows %s, %.1f s, load %s\n",
                sqlite ? "sqlite" : "postgresql", options.clients, all.orders, options.lines, all.errors.size(),
                confirmed, options.shown ? "shown" : "hidden", elapsed, loadAverage().c_str());
    const std::vector<double>& bare = all.micros["bare round trip"];
    if (bare.empty()) {
        std::printf("no bare round trip was timed\n");
        return;
    }
    const double bareMedian = percentile(bare, 0.5);
    // The step's time beside the part of it the clerk waited in server calls: the rest is the
    // window's and the data module's own work.
    std::printf("| step | median µs | p99 µs | median / bare | round trips | in calls, median µs |\n"
                "|---|---|---|---|---|---|\n");
    for (const auto& [name, micros] : all.micros)
        std::printf("| %s | %.0f | %.0f | %.1f | %.2f | %.0f |\n", name.c_str(), percentile(micros, 0.5),
                    percentile(micros, 0.99), percentile(micros, 0.5) / bareMedian,
                    static_cast<double>(all.roundTrips[name]) / static_cast<double>(micros.size()),
                    percentile(all.callMicros[name], 0.5));
    // Orders per second and CPU per order count the orders confirmed in the database.
    const double orders = static_cast<double>(std::max(confirmed, 1L));
    std::printf("| orders/s (confirmed) | %.2f | | | | |\n", static_cast<double>(confirmed) / elapsed);
    std::printf("| server CPU ms/order | %.2f | | | | |\n", cpu.server * 1000 / orders);
    if (!sqlite)
        std::printf("| PostgreSQL CPU ms/order (the whole cluster) | %.2f | | | | |\n", cpu.cluster * 1000 / orders);
    std::printf("| clerks' CPU ms/order (with their start) | %.2f | | | | |\n", cpu.clerks * 1000 / orders);
    std::map<std::string, int> refusals;
    for (const std::string& error : all.errors)
        ++refusals[error];
    for (const auto& [refusal, count] : refusals)
        std::printf("refused %d times: %s\n", count, refusal.c_str());
    reportCalls(all.calls);
}

int runLoad(const LoadOptions& options, const std::filesystem::path& folder)
{
    ServerProcess server(ORVANE_SERVER_PROGRAM, options.backend, folder / "server");
    int ready[2];
    int go[2];
    if (::pipe(ready) != 0 || ::pipe(go) != 0)
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    std::cout.flush();
    std::vector<pid_t> clerks;
    for (int number = 0; number < options.clients; ++number) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(ready[0]);
            ::close(go[1]);
            ClerkOptions clerk{"localhost",    server.port(),
                               options.orders, options.lines,
                               number,         (folder / ("clerk" + std::to_string(number))).string(),
                               options.shown,  server.clusterDatabase()};
            int code = 1;
            try {
                code = runClerk(clerk, ready[1], go[0], clerk.folder + ".samples");
            } catch (const std::exception& error) {
                std::cerr << "clerk " << number << ": " << error.what() << "\n";
            }
            std::_Exit(code);
        }
        clerks.push_back(pid);
    }
    ::close(ready[1]);
    ::close(go[0]);
    char byte = 0;
    int loggedIn = 0;
    while (loggedIn < options.clients && ::read(ready[0], &byte, 1) == 1)
        ++loggedIn;
    const std::vector<pid_t> cluster =
        options.backend == LoadBackend::Postgres ? postgresProcesses() : std::vector<pid_t>{};
    const double serverBefore = server.cpuSeconds();
    const std::map<pid_t, double> clusterBefore = cpuOf(cluster);
    const double start = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    ::close(go[1]);
    std::vector<ClerkSamples> samples;
    double clerksCpu = 0; // the clerks' whole lives, their start included
    for (int number = 0; number < options.clients; ++number) {
        int status = 0;
        rusage usage{};
        ::wait4(clerks[static_cast<std::size_t>(number)], &status, 0, &usage);
        clerksCpu += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        const std::string file = (folder / ("clerk" + std::to_string(number) + ".samples")).string();
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            samples.push_back(readSamples(file));
    }
    const double serverCpu = server.cpuSeconds() - serverBefore;
    const double clusterCpu =
        options.backend == LoadBackend::Postgres ? cpuSince(clusterBefore, postgresProcesses()) : 0;
    if (samples.empty() || loggedIn < options.clients) {
        std::cerr << "not every clerk logged in and finished; see " << (folder / "server" / "server.out") << "\n";
        return 1;
    }
    report(options, samples, start, {serverCpu, clusterCpu, clerksCpu}, server.confirmedOrders("2205"));
    return 0;
}

} // namespace
} // namespace orvane::bench

int main(int argc, char** argv)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("orvane-load-" + std::to_string(getpid()));
    int code = 1;
    try {
        code = orvane::bench::runLoad(orvane::bench::parseOptions(argc, argv), folder);
    } catch (const std::exception& error) {
        std::cerr << "bench_clerks_load: " << error.what() << "\n";
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return code;
}
