#pragma once
// Counts failed logins per key (an account, an address) and says how long a key must
// wait before its next attempt is checked. Bounded: keys quiet for a while are
// forgotten, and the table never holds more than `capacity` keys. Thread-safe.

#include "platform/rpc/ServerLimits.h"

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace orvane {

class LoginThrottle {
public:
    using Clock = std::chrono::steady_clock;

    explicit LoginThrottle(LoginThrottlePolicy policy, std::size_t capacity = 100000)
        : policy_(policy), capacity_(capacity)
    {}

    // How long `key` must still wait; zero when an attempt may be checked now.
    std::chrono::milliseconds wait(const std::string& key, Clock::time_point now = Clock::now()) const;
    void failed(const std::string& key, Clock::time_point now = Clock::now());
    void succeeded(const std::string& key);

private:
    struct Failures {
        std::size_t count = 0;
        Clock::time_point last;
    };

    std::chrono::milliseconds delayAfter(std::size_t failures) const;
    void forgetQuietKeys(Clock::time_point now);

    LoginThrottlePolicy policy_;
    std::size_t capacity_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Failures> failures_;
};

} // namespace orvane
