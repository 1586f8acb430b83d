#pragma once
// An orvane-server process of the load driver's own: a fresh demonstration database (SQLite in
// a temporary folder, or a PostgreSQL database created on the cluster ORVANE_TEST_PG names and
// dropped afterwards), the server started on it listening on a free loopback port, and the CPU
// time the process has used, read from /proc. Stopped with SIGTERM on destruction.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace orvane::bench {

enum class LoadBackend : std::uint8_t { Sqlite, Postgres };

class ServerProcess {
public:
    // Raises std::runtime_error naming the step that failed (and the server's output file).
    ServerProcess(const std::filesystem::path& serverProgram, LoadBackend backend, const std::filesystem::path& folder);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    std::uint16_t port() const { return port_; }
    pid_t pid() const { return pid_; }
    // User and system CPU seconds the server process has used so far.
    double cpuSeconds() const;
    // The confirmed orders of `orderType` in the demonstration company, read from the database.
    long confirmedOrders(const std::string& orderType) const;
    // The libpq connection string of the run's PostgreSQL database; empty on SQLite.
    std::string clusterDatabase() const;

private:
    // Runs the server program with `arguments` after --config; waits for it when `wait`.
    pid_t run(std::initializer_list<std::string> arguments, bool wait) const;
    void waitForPort();

    std::filesystem::path program_;
    LoadBackend backend_;
    std::filesystem::path folder_;
    std::string database_; // the PostgreSQL database made for the run
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
};

// User and system CPU seconds process `pid` has used (0 when it is gone).
double processCpuSeconds(pid_t pid);
// The processes of the PostgreSQL cluster (by their command name): their CPU covers every
// database of the cluster, others' work included.
std::vector<pid_t> postgresProcesses();

} // namespace orvane::bench
