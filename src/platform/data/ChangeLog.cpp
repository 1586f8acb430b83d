#include "platform/data/ChangeLog.h"

namespace orvane {

Record& changedRecord(const Change& change)
{
    return std::visit([](const auto& c) -> Record& { return *c.record; }, change);
}

std::size_t ChangeLog::find(const Record& record) const
{
    for (std::size_t i = changes_.size(); i-- > 0;) {
        if (&changedRecord(changes_[i]) == &record) {
            return i;
        }
    }
    return npos;
}

Change ChangeLog::take(std::size_t index)
{
    Change change = std::move(changes_[index]);
    changes_.erase(changes_.begin() + static_cast<std::ptrdiff_t>(index));
    return change;
}

} // namespace orvane
