#include "framework/HeadProvider.h"

namespace orvane {

HeadProvider::HeadProvider(DispatchPtr server, std::string providerName)
    : server_(server), providerName_(providerName), applier_(std::move(server), std::move(providerName))
{}

Invocation HeadProvider::openingCall(int count, const Variant& params) const
{
    return {"AS_GetRecords", {Variant(providerName_), Variant(count), params, Variant(true)}, {}, {}};
}

DataPacket HeadProvider::getRecords(int count, const Variant& params, bool reset)
{
    std::optional<Opening> ahead;
    if (reset) {
        const std::lock_guard lock(mutex_);
        if (ahead_ && ahead_->count == count && ahead_->params == params)
            ahead = std::move(ahead_);
        ahead_.reset();
    }
    Variant answer;
    if (ahead) {
        answer = std::move(ahead->answer);
    } else {
        Invocation call = openingCall(count, params);
        call.args[3] = Variant(reset);
        answer = server_->invoke(call.name, call.args);
    }
    const std::lock_guard lock(mutex_);
    if (reset) {
        opened_ = Opening{count, params, answer};
        readOn_ = false;
    } else {
        readOn_ = true;
    }
    return DataPacket::fromVariant(std::move(answer));
}

bool HeadProvider::takeOpening(int count, const Variant& params, Variant answer)
{
    const std::lock_guard lock(mutex_);
    if (!readOn_ && opened_ && opened_->count == count && opened_->params == params && opened_->answer == answer)
        return true;
    ahead_ = Opening{count, params, std::move(answer)};
    return false;
}

ApplyResult HeadProvider::applyUpdates(const Delta& delta, int maxErrors)
{
    return applier_.applyUpdates(delta, maxErrors);
}

ApplyResult HeadProvider::applyUpdates(const Delta& delta, int maxErrors, const std::string& requestId)
{
    return applier_.applyUpdates(delta, maxErrors, requestId);
}

} // namespace orvane
