#pragma once
// A server object seen from the client: invoke, get and put travel over the
// connection, and by-reference arguments come back into the caller's variants.
// Destroying the last reference releases the server object while the connection
// is open. Client thread only, like its connection.

#include "platform/variant/Dispatch.h"

#include <cstdint>
#include <memory>
#include <string>

namespace orvane {

class RpcConnection;

class RemoteDispatch : public Dispatch {
public:
    RemoteDispatch(std::shared_ptr<RpcConnection> connection, std::uint64_t handle, std::string className);
    RemoteDispatch(const RemoteDispatch&) = delete;
    RemoteDispatch& operator=(const RemoteDispatch&) = delete;
    ~RemoteDispatch() override;

    Variant invoke(std::string_view name, std::span<Variant> args) override;
    // Sent together over the connection: one round trip for the whole batch.
    void invokeAll(std::span<Invocation> calls) override;
    Variant get(std::string_view name) override;
    void put(std::string_view name, const Variant& value) override;
    std::string className() const override { return className_; }

    // The session handle that stands for the server object.
    std::uint64_t handle() const { return handle_; }
    const RpcConnection& connection() const { return *connection_; }

private:
    std::shared_ptr<RpcConnection> connection_; // kept open while the object is referenced
    std::uint64_t handle_;
    std::string className_; // the class name it was created from, or "remote object N"
};

} // namespace orvane
