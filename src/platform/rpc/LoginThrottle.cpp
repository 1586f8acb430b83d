#include "platform/rpc/LoginThrottle.h"

#include <algorithm>

namespace orvane {

std::chrono::milliseconds LoginThrottle::delayAfter(std::size_t failures) const
{
    if (failures < policy_.freeFailures)
        return std::chrono::milliseconds(0);
    const auto doublings = std::min<std::size_t>(failures - policy_.freeFailures, 30);
    return std::min(policy_.firstDelay * (std::int64_t{1} << doublings), policy_.longestDelay);
}

std::chrono::milliseconds LoginThrottle::wait(const std::string& key, Clock::time_point now) const
{
    const std::lock_guard lock(mutex_);
    const auto found = failures_.find(key);
    if (found == failures_.end())
        return std::chrono::milliseconds(0);
    const auto until = found->second.last + delayAfter(found->second.count);
    if (until <= now)
        return std::chrono::milliseconds(0);
    return std::chrono::ceil<std::chrono::milliseconds>(until - now);
}

void LoginThrottle::failed(const std::string& key, Clock::time_point now)
{
    const std::lock_guard lock(mutex_);
    if (failures_.size() >= capacity_ && !failures_.contains(key))
        forgetQuietKeys(now);
    auto& entry = failures_[key];
    if (now - entry.last > 2 * policy_.longestDelay)
        entry.count = 0; // a key quiet that long starts afresh
    ++entry.count;
    entry.last = now;
}

void LoginThrottle::succeeded(const std::string& key)
{
    const std::lock_guard lock(mutex_);
    failures_.erase(key);
}

void LoginThrottle::forgetQuietKeys(Clock::time_point now)
{
    const auto quiet = 2 * policy_.longestDelay;
    std::erase_if(failures_, [&](const auto& entry) { return now - entry.second.last > quiet; });
    // Still full: an attacker is inventing keys; forgetting all is safe, as the
    // address keys of that attacker fill up again at once.
    if (failures_.size() >= capacity_)
        failures_.clear();
}

} // namespace orvane
