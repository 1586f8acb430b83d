// "UnitConvert", "QtyDToS"/"QtyDTos" and "QtyAdd"/"QtyADD".
//
// In the two-unit mode (SYS024 "2") a quantity of an item that has a small unit is written
// in the two-unit notation: the whole part counts the unit, the decimals count small units.
// With 20 pieces to the carton, 3.05 cartons are 3 cartons and 5 pieces, 3.25 cartons once
// normalised are 4.05. The notation needs as many decimals as the largest count of small
// units has digits (2 for 20). Money always takes the single quantity (3.25 for 3.05).
#include "server/services/SalesData.h"
#include "server/services/SalesMethodGroups.h"

#include <cmath>

namespace orvane {

namespace {

class TwoUnitNotation {
public:
    // The notation of the item's quantities in the unit; plain decimals when the mode is not
    // "2" or the item has no small unit with a whole count per unit.
    TwoUnitNotation(SalesData& data, const SalesItem& item, const std::string& unit)
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
        scale_ = 1;
        for (long long most = perUnit_ - 1; most > 0; most /= 10)
            scale_ *= 10;
    }

    // The quantity written in the notation, as a single quantity of the unit.
    double single(double written) const
    {
        if (!perUnit_)
            return written;
        const double sign = written < 0 ? -1 : 1;
        const double whole = std::trunc(std::abs(written));
        const double small = std::round((std::abs(written) - whole) * scale_);
        return sign * (whole + small / static_cast<double>(perUnit_));
    }
    // A single quantity written in the notation, small units carried into whole units.
    double written(double single) const
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

private:
    long long perUnit_ = 0; // small units in one unit; 0 when the notation does not apply
    double scale_ = 1;      // 10 to the power of the notation's decimals
};

// [item, quantity in the stock unit, to unit], [item, quantity, from unit, to unit] or that
// and a number (sent as 0) -> [the quantity in the target unit, the quantity in stock units].
Variant unitConvert(const MethodCall& call)
{
    const SalesArgs args("UnitConvert", call.args, 3, 5);
    SalesData data(call.db, call.login.companyDb);
    const SalesItem item = data.item(args, 0);
    const double quantity = args.number(1, "quantity");
    const bool fromStock = args.size() == 3;
    const double from = fromStock ? 1.0 : data.unitFactor(args, 2, item);
    const double to = data.unitFactor(args, fromStock ? 2 : 3, item);
    if (args.size() == 5)
        args.number(4, "option");
    const double stock = quantity * from;
    return Variant::arrayOf({stock / to, stock});
}

// [item, quantity in the notation, 0, from unit, to unit] -> the single quantity in the
// target unit, the quantity money is computed with.
Variant singleQuantity(std::string_view method, const MethodCall& call)
{
    const SalesArgs args(method, call.args, 5, 5);
    SalesData data(call.db, call.login.companyDb);
    const SalesItem item = data.item(args, 0);
    const double written = args.number(1, "quantity");
    args.number(2, "option");
    const double from = data.unitFactor(args, 3, item);
    const double to = data.unitFactor(args, 4, item);
    const TwoUnitNotation notation(data, item, data.unit(args, 3, item));
    return notation.single(written) * from / to;
}

// [item, quantity, quantity] or that and a unit (empty: the stock unit) -> [the sum in the
// notation, normalised; the single sum].
Variant quantitySum(std::string_view method, std::size_t minCount, const MethodCall& call)
{
    const SalesArgs args(method, call.args, minCount, 4);
    SalesData data(call.db, call.login.companyDb);
    const SalesItem item = data.item(args, 0);
    const double first = args.number(1, "first quantity");
    const double second = args.number(2, "second quantity");
    std::string unit = item.stockUnit;
    if (args.size() == 4) {
        data.unitFactor(args, 3, item);
        unit = data.unit(args, 3, item);
    }
    const TwoUnitNotation notation(data, item, unit);
    const double sum = notation.single(first) + notation.single(second);
    return Variant::arrayOf({notation.written(sum), sum});
}

} // namespace

void registerQuantityMethods(NamedMethods& methods)
{
    methods.add("UnitConvert", unitConvert);
    for (const char* name : {"QtyDToS", "QtyDTos"})
        methods.add(name, [name](const MethodCall& call) { return singleQuantity(name, call); });
    methods.add("QtyAdd", [](const MethodCall& call) { return quantitySum("QtyAdd", 3, call); });
    methods.add("QtyADD", [](const MethodCall& call) { return quantitySum("QtyADD", 4, call); });
}

} // namespace orvane
