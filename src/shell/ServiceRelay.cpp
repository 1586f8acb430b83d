#include "shell/ServiceRelay.h"

#include <algorithm>

namespace orvane {

ServiceRelay::ServiceRelay(std::string className, DispatchPtr services, std::initializer_list<Relayed> methods)
    : AutomationObject(std::move(className)), services_(std::move(services))
{
    for (const Relayed& relayed : methods) {
        relayed_.emplace(relayed.name, relayed.argCount);
        method(std::string(relayed.name), relayed.argCount,
               [this, name = std::string(relayed.name)](std::span<Variant> args) {
                   return services_->invoke(name, args);
               });
    }
}

void ServiceRelay::invokeAll(std::span<Invocation> calls)
{
    const bool allRelayed = std::ranges::all_of(calls, [this](const Invocation& call) {
        const auto it = relayed_.find(call.name);
        return it != relayed_.end() && it->second == call.args.size();
    });
    if (allRelayed)
        services_->invokeAll(calls);
    else
        AutomationObject::invokeAll(calls);
}

} // namespace orvane
