#include "platform/data/DispatchProvider.h"

namespace orvane {

namespace {

std::string requestIdOf(const Variant& value)
{
    if (value.isUnassignedOrNull())
        return {};
    if (!value.isString())
        throw DispatchError("AS_ApplyUpdates: the request identifier must be text, not " +
                            std::string(typeName(value.type())));
    return value.asString();
}

} // namespace

DispatchProvider::DispatchProvider(DispatchPtr server, std::string providerName)
    : server_(std::move(server)), providerName_(std::move(providerName))
{
    if (server_ == nullptr) {
        throw DispatchError("Provider " + providerName_ + ": no server object");
    }
}

Invocation DispatchProvider::getRecordsCall(int count, const Variant& params, bool reset) const
{
    return {"AS_GetRecords", {Variant(providerName_), Variant(count), params, Variant(reset)}, {}, {}};
}

DataPacket DispatchProvider::getRecords(int count, const Variant& params, bool reset)
{
    Invocation call = getRecordsCall(count, params, reset);
    return DataPacket::fromVariant(server_->invoke(call.name, call.args));
}

ApplyResult DispatchProvider::applyUpdates(const Delta& delta, int maxErrors)
{
    return applyUpdates(delta, maxErrors, {});
}

ApplyResult DispatchProvider::applyUpdates(const Delta& delta, int maxErrors, const std::string& requestId)
{
    // Built in place: a list initialiser would copy the changes, every record of them.
    std::vector<Variant> args;
    args.reserve(5);
    args.emplace_back(providerName_);
    args.emplace_back(delta.toVariant());
    args.emplace_back(maxErrors);
    args.emplace_back(0);
    if (!requestId.empty())
        args.emplace_back(requestId);
    return ApplyResult::fromVariant(server_->invoke("AS_ApplyUpdates", args));
}

ProviderHost::ProviderHost(std::string className) : AutomationObject(std::move(className))
{
    method("AS_GetRecords", 4, [this](std::span<Variant> args) {
        return provider(args[0])
            .getRecords(static_cast<int>(args[1].toInteger()), args[2], args[3].toBoolean())
            .toVariant();
    });
    method("AS_ApplyUpdates", 3, 5, [this](std::span<Variant> args) {
        const std::string requestId = args.size() > 4 ? requestIdOf(args[4]) : std::string();
        const ApplyResult result = provider(args[0]).applyUpdates(Delta::fromVariant(args[1]),
                                                                  static_cast<int>(args[2].toInteger()), requestId);
        if (args.size() > 3) {
            args[3] = Variant(result.errorCount);
        }
        return result.toVariant();
    });
}

void ProviderHost::addProvider(std::string name, std::shared_ptr<Provider> provider)
{
    const std::lock_guard lock(mutex_);
    providers_[std::move(name)] = std::move(provider);
}

Provider& ProviderHost::provider(const Variant& name) const
{
    const std::string text = name.toString();
    const std::lock_guard lock(mutex_);
    const auto it = providers_.find(text);
    if (it == providers_.end()) {
        throw DispatchError(className() + " has no provider named '" + text + "'");
    }
    return *it->second;
}

} // namespace orvane
