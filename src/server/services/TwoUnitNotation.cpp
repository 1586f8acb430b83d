#include "server/services/TwoUnitNotation.h"

#include <cmath>

namespace orvane {

TwoUnitNotation::TwoUnitNotation(SalesData& data, const SalesItem& item, const std::string& unit)
{
    if (data.systemParameter("SYS024") != "2" || item.smallUnit.empty() || item.smallUnit == unit)
        return;
    const auto big = data.unitFactor(item, unit);
    const auto small = data.unitFactor(item, item.smallUnit);
    if (!big || !small)
        return;
    const double count = *big / *small;
    if (count < 2 || std::abs(count - std::round(count)) > 1e-9)
        return;
    perUnit_ = static_cast<long long>(std::round(count));
    for (long long most = perUnit_ - 1; most > 0; most /= 10)
        scale_ *= 10;
}

double TwoUnitNotation::single(double written) const
{
    if (!perUnit_)
        return written;
    const double sign = written < 0 ? -1 : 1;
    const double whole = std::trunc(std::abs(written));
    const double small = std::round((std::abs(written) - whole) * scale_);
    return sign * (whole + small / static_cast<double>(perUnit_));
}

double TwoUnitNotation::written(double single) const
{
    if (!perUnit_)
        return single;
    const double sign = single < 0 ? -1 : 1;
    double whole = std::floor(std::abs(single));
    double small = std::round((std::abs(single) - whole) * static_cast<double>(perUnit_));
    if (small >= static_cast<double>(perUnit_)) {
        whole += 1;
        small = 0;
    }
    return sign * (whole + small / scale_);
}

} // namespace orvane
