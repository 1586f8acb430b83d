#include "salesorder/LineTotals.h"

#include <cmath>

namespace orvane {

void LineTotals::clear()
{
    lines_.clear();
    sums_ = {};
}

void LineTotals::set(std::uint64_t line, const Values& values)
{
    const auto [entry, added] = lines_.try_emplace(line, values);
    if (!added) {
        add(entry->second, -1);
        entry->second = values;
    }
    add(values, 1);
}

void LineTotals::remove(std::uint64_t line)
{
    if (const auto entry = lines_.find(line); entry != lines_.end()) {
        add(entry->second, -1);
        lines_.erase(entry);
    }
    if (lines_.empty())
        sums_ = {};
}

LineTotals::Values LineTotals::sums() const
{
    Values sums = sums_;
    for (double& sum : sums) {
        if (std::abs(sum) < 1e-9)
            sum = 0;
    }
    return sums;
}

void LineTotals::add(const Values& values, double sign)
{
    for (std::size_t i = 0; i < fieldCount; ++i)
        sums_[i] += sign * values[i];
}

} // namespace orvane
