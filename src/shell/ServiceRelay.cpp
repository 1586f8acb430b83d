#include "shell/ServiceRelay.h"

namespace orvane {

ServiceRelay::ServiceRelay(std::string className, DispatchPtr services, std::initializer_list<Relayed> methods)
    : AutomationObject(std::move(className)), services_(std::move(services))
{
    for (const Relayed& relayed : methods) {
        method(std::string(relayed.name), relayed.argCount,
               [this, name = std::string(relayed.name)](std::span<Variant> args) {
                   return services_->invoke(name, args);
               });
    }
}

} // namespace orvane
