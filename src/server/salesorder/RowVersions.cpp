#include "server/salesorder/RowVersions.h"

#include "server/salesorder/OrderReader.h"

namespace orvane {

void RowVersions::remember(const OrderLevel& level, const std::vector<Variant>& key, std::int64_t version)
{
    if (versions_.size() >= maxRemembered)
        versions_.clear();
    versions_[keyOf(level, key)] = version;
}

bool RowVersions::wrappedSince(const OrderLevel& level, const std::vector<Variant>& key, std::int64_t stored) const
{
    const auto it = versions_.find(keyOf(level, key));
    return it != versions_.end() && stored - it->second >= flagCycle;
}

std::string RowVersions::keyOf(const OrderLevel& level, const std::vector<Variant>& key)
{
    return level.name() + '\x1d' + keyText(key, key.size());
}

} // namespace orvane
