#pragma once
// In the two-unit mode (SYS024 "2") a quantity of an item that has a small unit is written
// in the two-unit notation: the whole part counts the unit, the decimals count small units.
// With 20 pieces to the carton, 3.05 cartons are 3 cartons and 5 pieces, 3.25 cartons once
// normalised are 4.05. The notation needs as many decimals as the largest count of small
// units has digits (2 for 20). Money always takes the single quantity (3.25 for 3.05).
//
// Threads: a plain value; any thread.

#include "server/services/SalesData.h"

namespace orvane {

class TwoUnitNotation {
public:
    // The notation of the item's quantities in the unit; plain decimals when the mode is not
    // "2" or the item has no small unit with a whole count per unit.
    TwoUnitNotation(SalesData& data, const SalesItem& item, const std::string& unit);
    // Plain decimals.
    TwoUnitNotation() = default;

    // The quantity written in the notation, as a single quantity of the unit.
    double single(double written) const;
    // A single quantity written in the notation, small units carried into whole units.
    double written(double single) const;

private:
    long long perUnit_ = 0; // small units in one unit; 0 when the notation does not apply
    double scale_ = 1;      // 10 to the power of the notation's decimals
};

} // namespace orvane
