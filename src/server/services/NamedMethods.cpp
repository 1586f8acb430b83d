#include "server/services/NamedMethods.h"

#include "server/services/ServiceError.h"

namespace orvane {

void NamedMethods::add(std::string name, Method method)
{
    if (methods_.contains(name))
        throw ServiceError("Server method '" + name + "' is registered twice");
    methods_.emplace(std::move(name), std::move(method));
}

Variant NamedMethods::call(std::string_view name, const MethodCall& call) const
{
    const auto it = methods_.find(name);
    if (it == methods_.end())
        throw ServiceError("Unknown server method '" + std::string(name) + "'");
    return it->second(call);
}

std::vector<Variant> methodArgs(std::string_view method, const Variant& args, std::size_t minCount,
                                std::size_t maxCount)
{
    std::vector<Variant> list;
    if (args.isArray() && args.dimensions() == 1) {
        const auto elements = args.array().elements();
        list.assign(elements.begin(), elements.end());
    } else if (!args.isUnassignedOrNull()) {
        list.push_back(args);
    }
    if (list.size() < minCount || list.size() > maxCount) {
        const std::string expected = minCount == maxCount
                                         ? std::to_string(minCount)
                                         : std::to_string(minCount) + " to " + std::to_string(maxCount);
        throw ServiceError("Server method '" + std::string(method) + "' takes " + expected + " arguments, not " +
                           std::to_string(list.size()));
    }
    return list;
}

} // namespace orvane
