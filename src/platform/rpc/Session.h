#pragma once
// The server side of one connection: the objects the client created or received,
// by handle. An object handed out again keeps its handle, so the client sees the
// same object; it lives until the client releases the handle or the session ends.
// Thread-safe, although a connection handles its requests one at a time.

#include "platform/rpc/VariantCodec.h"
#include "platform/variant/Dispatch.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace orvane {

// The most objects a session may hold; unlimited by default (in-process use).
struct SessionLimits {
    bool loginRequired = false; // until a login, guestObjects applies
    std::size_t guestObjects = SIZE_MAX;
    std::size_t objects = SIZE_MAX;
};

class Session : public HandleMapper {
public:
    explicit Session(SessionLimits limits = {}) : limits_(limits) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();

    // Raises RpcError(LimitExceeded) when a new object would pass the session's limit.
    std::uint64_t handleFor(const DispatchPtr& object) override;
    DispatchPtr objectFor(std::uint64_t handle) override;

    // Drops the session's reference; false when the handle is unknown.
    bool release(std::uint64_t handle);
    // Releases every object, as when the connection closes.
    void clear();
    // Number of live handles.
    std::size_t size() const;

    // The identity the session's login established; nullopt before a login.
    std::optional<Variant> identity() const;
    void setIdentity(Variant identity);
    // True while the session must still log in before it gets the full limits.
    bool guest() const;

private:
    SessionLimits limits_;
    mutable std::mutex mutex_;
    std::unordered_map<std::uint64_t, DispatchPtr> objects_;
    std::unordered_map<const Dispatch*, std::uint64_t> handles_;
    std::uint64_t nextHandle_ = 1; // handles are never reused within a session
    std::optional<Variant> identity_;
};

} // namespace orvane
