#include "platform/rpc/RemoteDispatch.h"

#include "platform/rpc/RpcConnection.h"

namespace orvane {

RemoteDispatch::RemoteDispatch(std::shared_ptr<RpcConnection> connection, std::uint64_t handle, std::string className)
    : connection_(std::move(connection)), handle_(handle), className_(std::move(className))
{}

RemoteDispatch::~RemoteDispatch()
{
    connection_->release(handle_);
}

Variant RemoteDispatch::invoke(std::string_view name, std::span<Variant> args)
{
    return connection_->invoke(handle_, name, args);
}

void RemoteDispatch::invokeAll(std::span<Invocation> calls)
{
    connection_->invokeAll(handle_, calls);
}

Variant RemoteDispatch::get(std::string_view name)
{
    return connection_->get(handle_, name);
}

void RemoteDispatch::put(std::string_view name, const Variant& value)
{
    connection_->put(handle_, name, value);
}

} // namespace orvane
