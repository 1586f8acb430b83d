#include "shell/ServerLink.h"

#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"
#include "platform/rpc/RpcError.h"

#include <algorithm>
#include <optional>

namespace orvane {

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    const CaseInsensitiveLess less;
    return !less(a, b) && !less(b, a);
}

} // namespace

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
    return std::ranges::any_of(setupNames_, [&](const std::string& setup) { return sameName(setup, name); });
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

void LinkedObject::remember(std::string_view name, std::vector<Variant> args)
{
    const auto same = [&](const SetupCall& call) { return sameName(call.name, name); };
    if (auto kept = std::ranges::find_if(setup_, same); kept != setup_.end())
        kept->args = std::move(args); // a program that connects again is set up once, as it last was
    else
        setup_.push_back({std::string(name), std::move(args)});
}

Variant LinkedObject::invoke(std::string_view name, std::span<Variant> args)
{
    std::optional<std::vector<Variant>> sent;
    if (isSetup(name))
        sent.emplace(args.begin(), args.end());
    Variant answer = guarded([&](Dispatch& target) { return target.invoke(name, args); });
    if (sent)
        remember(name, std::move(*sent));
    return answer;
}

void LinkedObject::invokeAll(std::span<Invocation> calls)
{
    // The arguments as sent: the server may write them back changed.
    std::vector<std::optional<std::vector<Variant>>> sent(calls.size());
    for (std::size_t i = 0; i < calls.size(); ++i)
        if (isSetup(calls[i].name))
            sent[i].emplace(calls[i].args);
    guarded([&](Dispatch& target) { target.invokeAll(calls); });
    for (std::size_t i = 0; i < calls.size(); ++i)
        if (sent[i] && !calls[i].error)
            remember(calls[i].name, std::move(*sent[i]));
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
