#include "shell/ServerLink.h"

#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"
#include "platform/rpc/RpcError.h"

#include <optional>

namespace orvane {

ServerLink::ServerLink(Open open, std::string endpoint) : open_(std::move(open)), endpoint_(std::move(endpoint))
{
    connection();
}

RpcConnection& ServerLink::connection()
{
    if (!connection_ || connection_->peerClosed()) {
        if (connection_)
            connection_->close(); // objects still made on it fail at once instead of waiting
        connection_.reset();
        connection_ = open_();
        ++generation_;
    }
    return *connection_;
}

void ServerLink::checkLost(const std::exception& failure) const
{
    if (connection_ && connection_->isOpen())
        return;
    throw RpcError(RpcErrorCode::ConnectionFailed,
                   "the connection to application server " + endpoint_ + " broke while it was answering (" +
                       failure.what() +
                       "). It is not known whether the server did what was asked, and it is not asked again: "
                       "check the result before you repeat the action. The next action connects again.");
}

LinkedObject::LinkedObject(std::shared_ptr<ServerLink> link, std::string className, std::vector<std::string> setupCalls)
    : link_(std::move(link)), className_(std::move(className)), setupNames_(std::move(setupCalls))
{
    object(); // an unknown class is refused now, not at the first call
}

Dispatch& LinkedObject::object()
{
    link_->connection();
    if (!object_ || generation_ != link_->generation())
        remake();
    return *object_;
}

void LinkedObject::remake()
{
    object_.reset();
    DispatchPtr made = link_->connection().createObject(className_);
    try {
        for (const SetupCall& call : setup_) {
            std::vector<Variant> args = call.args;
            made->invoke(call.name, args);
        }
    } catch (const std::exception& failure) {
        throw RpcError(RpcErrorCode::ConnectionFailed, "connected again to application server " + link_->endpoint() +
                                                           ", but '" + className_ +
                                                           "' could not be set up again: " + failure.what());
    }
    object_ = std::move(made);
    generation_ = link_->generation();
}

bool LinkedObject::isSetup(std::string_view name) const
{
    const CaseInsensitiveLess less;
    for (const std::string& setup : setupNames_)
        if (!less(setup, name) && !less(name, setup))
            return true;
    return false;
}

template <typename Call>
auto LinkedObject::guarded(Call&& call)
{
    Dispatch& target = object();
    try {
        return call(target);
    } catch (const std::exception& failure) {
        link_->checkLost(failure);
        throw;
    }
}

Variant LinkedObject::invoke(std::string_view name, std::span<Variant> args)
{
    std::optional<std::vector<Variant>> sent;
    if (isSetup(name))
        sent.emplace(args.begin(), args.end());
    Variant answer = guarded([&](Dispatch& target) { return target.invoke(name, args); });
    if (sent)
        setup_.push_back({std::string(name), std::move(*sent)});
    return answer;
}

void LinkedObject::invokeAll(std::span<Invocation> calls)
{
    guarded([&](Dispatch& target) { target.invokeAll(calls); });
}

Variant LinkedObject::get(std::string_view name)
{
    return guarded([&](Dispatch& target) { return target.get(name); });
}

void LinkedObject::put(std::string_view name, const Variant& value)
{
    guarded([&](Dispatch& target) { target.put(name, value); });
}

} // namespace orvane
