#pragma once
// What all connections of one server hold together: the connections open from each
// address, and the bytes of requests received but not yet complete. Connections keep
// it alive (shared), since they may end after the server object. Thread-safe.

#include "platform/rpc/ServerLimits.h"

#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace orvane {

class ServerLoad {
public:
    explicit ServerLoad(const ServerLimits& limits) : limits_(limits) {}

    // Counts a new connection from `address`; when it would pass a limit, counts
    // nothing and answers why it is refused.
    std::optional<std::string> admit(const std::string& address);
    // Uncounts a connection admitted from `address`.
    void leave(const std::string& address);
    // Moves a connection's buffered bytes from `held` to `wanted`; false (and `held`
    // unchanged) when all connections together would pass the limit.
    bool hold(std::size_t& held, std::size_t wanted);
    // Bytes of unfinished requests held by all connections.
    std::size_t buffered();

private:
    ServerLimits limits_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::size_t> perAddress_;
    std::size_t connections_ = 0;
    std::size_t buffered_ = 0;
};

} // namespace orvane
