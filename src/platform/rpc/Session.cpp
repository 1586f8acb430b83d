#include "platform/rpc/Session.h"

#include "platform/rpc/RpcError.h"

#include <string>

namespace orvane {

Session::~Session()
{
    clear();
}

std::uint64_t Session::handleFor(const DispatchPtr& object)
{
    const std::lock_guard lock(mutex_);
    const auto known = handles_.find(object.get());
    if (known != handles_.end())
        return known->second;
    const bool guest = limits_.loginRequired && !identity_;
    const auto limit = guest ? limits_.guestObjects : limits_.objects;
    if (objects_.size() >= limit)
        throw RpcError(RpcErrorCode::LimitExceeded,
                       guest ? "a session that has not logged in may hold at most " + std::to_string(limit) + " objects"
                             : "this session already holds " + std::to_string(limit) +
                                   " objects, the most a session may hold; release some first");
    const auto handle = nextHandle_++;
    objects_.emplace(handle, object);
    handles_.emplace(object.get(), handle);
    return handle;
}

DispatchPtr Session::objectFor(std::uint64_t handle)
{
    const std::lock_guard lock(mutex_);
    const auto found = objects_.find(handle);
    if (found == objects_.end())
        throw RpcError(RpcErrorCode::UnknownHandle, "unknown object handle " + std::to_string(handle));
    return found->second;
}

bool Session::release(std::uint64_t handle)
{
    DispatchPtr released; // destroyed after the lock is let go: a destructor may do anything
    const std::lock_guard lock(mutex_);
    const auto found = objects_.find(handle);
    if (found == objects_.end())
        return false;
    released = std::move(found->second);
    handles_.erase(released.get());
    objects_.erase(found);
    return true;
}

void Session::clear()
{
    std::unordered_map<std::uint64_t, DispatchPtr> released;
    {
        const std::lock_guard lock(mutex_);
        released.swap(objects_);
        handles_.clear();
    }
}

std::size_t Session::size() const
{
    const std::lock_guard lock(mutex_);
    return objects_.size();
}

std::optional<Variant> Session::identity() const
{
    std::lock_guard lock(mutex_);
    return identity_;
}

void Session::setIdentity(Variant identity)
{
    std::lock_guard lock(mutex_);
    identity_ = std::move(identity);
}

bool Session::guest() const
{
    std::lock_guard lock(mutex_);
    return limits_.loginRequired && !identity_;
}

} // namespace orvane
