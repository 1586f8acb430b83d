#pragma once
// One clerk of the load, in a process of its own: the shell's login to the server over TCP, the
// order window (offscreen, shown or left hidden) with its data module, and orders entered as a clerk enters them:
// Add, the order type and the customer (each with its checks), per line the item (the item
// check with its lookups and prices), the quantity (its checks and the amount) and the line's
// post, then Save: the order type (2205) confirms a new order on its first save, and the window
// then adds the next order itself. Every step is timed with the round trips it made, and a bare
// round trip to the same server is timed before each order and each line (on PostgreSQL, before
// each order, with a round trip of the clerk's own to the cluster beside it).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace orvane::bench {

struct ClerkOptions {
    std::string address; // the server's address as the client names it (not "127.0.0.1": that is embedded)
    std::uint16_t port = 0;
    int orders = 20;    // orders to enter
    int lines = 5;      // lines per order
    int number = 0;     // the clerk's number, which spreads the items over the clerks
    std::string folder; // the clerk's client folder (its configuration files)
    bool shown = true;  // false: the window is never shown, so it never paints
    // On PostgreSQL the run's database: a round trip to the cluster (SELECT 1) is timed beside
    // each bare one, the least a check that reads the database adds to it. Empty on SQLite.
    std::string cluster;
};

// What one clerk measured: per step the time of each (microseconds) and its round trips.
struct ClerkSamples {
    std::map<std::string, std::vector<double>> micros;
    // Per step the part of each spent waiting in the program's server calls (microseconds).
    std::map<std::string, std::vector<double>> callMicros;
    std::map<std::string, long> roundTrips;
    // Per kind of server call (Today is the bare round trip) the time of each (microseconds).
    std::map<std::string, std::vector<double>, std::less<>> calls;
    int orders = 0;                  // orders saved without a message
    std::vector<std::string> errors; // the first message of each failed order
    double endSeconds = 0;           // steady clock when the last order was done
};

// Writes and reads the samples as text, one sample a line, for the driver that collects them.
void writeSamples(const ClerkSamples& samples, const std::string& file);
ClerkSamples readSamples(const std::string& file);

// The clerk's whole life in its process: logs in and opens the window, writes one byte to
// `readyFd`, waits until `goFd` closes, enters the orders and writes its samples to `resultFile`.
// Answers the process's exit code.
int runClerk(const ClerkOptions& options, int readyFd, int goFd, const std::string& resultFile);

} // namespace orvane::bench
