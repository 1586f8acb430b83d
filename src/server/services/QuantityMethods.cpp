// "UnitConvert", "QtyDToS"/"QtyDTos" and "QtyAdd"/"QtyADD" (the two-unit notation: TwoUnitNotation.h).
#include "server/services/SalesData.h"
#include "server/services/SalesMethodGroups.h"
#include "server/services/TwoUnitNotation.h"

namespace orvane {

namespace {

// [item, quantity in the stock unit, to unit], [item, quantity, from unit, to unit] or that
// and a number (sent as 0) -> [the quantity in the target unit, the quantity in stock units].
// The quantity is read in the notation of its unit.
Variant unitConvert(const MethodCall& call)
{
    const SalesArgs args("UnitConvert", call.args, 3, 5);
    SalesData data(call);
    const SalesItem item = data.item(args, 0);
    const double quantity = args.number(1, "quantity");
    const bool fromStock = args.size() == 3;
    const double from = fromStock ? 1.0 : data.unitFactor(args, 2, item);
    const double to = data.unitFactor(args, fromStock ? 2 : 3, item);
    if (args.size() == 5)
        args.number(4, "option");
    const TwoUnitNotation notation(data, item, fromStock ? item.stockUnit : data.unit(args, 2, item));
    const double stock = notation.single(quantity) * from;
    return Variant::arrayOf({stock / to, stock});
}

// [item, quantity in the notation, 0, from unit, to unit] -> the single quantity in the
// target unit, the quantity money is computed with.
Variant singleQuantity(std::string_view method, const MethodCall& call)
{
    const SalesArgs args(method, call.args, 5, 5);
    const double written = args.number(1, "quantity");
    args.number(2, "option");
    if (args.code(0, "item").empty()) {
        // A line without an item yet: its quantity has no units to convert or notation to read.
        if (args.code(3, "unit") != args.code(4, "unit"))
            args.fail(0, "item", "a quantity is converted between units only for an item");
        return written;
    }
    SalesData data(call);
    const SalesItem item = data.item(args, 0);
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
    const double first = args.number(1, "first quantity");
    const double second = args.number(2, "second quantity");
    if (args.code(0, "item").empty()) // no item yet: plain decimals
        return Variant::arrayOf({first + second, first + second});
    SalesData data(call);
    const SalesItem item = data.item(args, 0);
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
