#include "platform/rpc/ServerLoad.h"

namespace orvane {

std::optional<std::string> ServerLoad::admit(const std::string& address)
{
    const std::lock_guard lock(mutex_);
    if (connections_ >= limits_.connections)
        return std::to_string(connections_) + " connections are open, the most this server takes";
    auto& fromAddress = perAddress_[address];
    if (fromAddress >= limits_.connectionsPerAddress)
        return std::to_string(fromAddress) + " connections are open from " + address +
               ", the most this server takes from one address";
    ++fromAddress;
    ++connections_;
    return std::nullopt;
}

void ServerLoad::leave(const std::string& address)
{
    const std::lock_guard lock(mutex_);
    const auto found = perAddress_.find(address);
    if (found == perAddress_.end())
        return;
    if (--found->second == 0)
        perAddress_.erase(found);
    --connections_;
}

bool ServerLoad::hold(std::size_t& held, std::size_t wanted)
{
    const std::lock_guard lock(mutex_);
    const auto others = buffered_ - held;
    if (wanted > held && others + wanted > limits_.bufferedBytes)
        return false;
    buffered_ = others + wanted;
    held = wanted;
    return true;
}

std::size_t ServerLoad::buffered()
{
    const std::lock_guard lock(mutex_);
    return buffered_;
}

} // namespace orvane
