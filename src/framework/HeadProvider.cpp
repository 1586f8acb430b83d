#include "framework/HeadProvider.h"

#include "framework/PackedVariant.h"

namespace orvane {

HeadProvider::HeadProvider(DispatchPtr server, std::string providerName)
    : DispatchProvider(std::move(server), std::move(providerName))
{}

Invocation HeadProvider::openingCall(int count, const Variant& params) const
{
    return getRecordsCall(count, params, true);
}

DataPacket HeadProvider::getRecords(int count, const Variant& params, bool reset)
{
    if (!reset) {
        DataPacket packet = DispatchProvider::getRecords(count, params, false);
        const std::lock_guard lock(mutex_);
        readOn_ = true;
        return packet;
    }
    Variant answer = openingAnswer(count, params);
    std::string packed = packVariant(answer);
    if (packed.size() > keptOpeningBytes)
        packed.clear();
    const std::lock_guard lock(mutex_);
    opened_ = Opened{count, params, std::move(packed)};
    readOn_ = false;
    return DataPacket::fromVariant(std::move(answer));
}

Variant HeadProvider::openingAnswer(int count, const Variant& params)
{
    std::optional<Opening> ahead;
    {
        const std::lock_guard lock(mutex_);
        ahead.swap(ahead_);
    }
    if (ahead && ahead->count == count && ahead->params == params)
        return std::move(ahead->answer);
    Invocation call = openingCall(count, params);
    return server()->invoke(call.name, call.args);
}

bool HeadProvider::takeOpening(int count, const Variant& params, Variant answer)
{
    const std::string packed = packVariant(answer);
    const std::lock_guard lock(mutex_);
    if (!readOn_ && opened_ && !opened_->packed.empty() && opened_->count == count && opened_->params == params &&
        opened_->packed == packed)
        return true;
    ahead_ = Opening{count, params, std::move(answer)};
    return false;
}

} // namespace orvane
