#pragma once
// The named methods of the order rules: exchange rates and tax, units and quantities,
// prices, stock and open orders, credit, and the explosion of a bill of materials.
// Elements, answers and the rules behind them: docs/sales-methods.md.

#include "server/services/NamedMethods.h"

namespace orvane {

void registerSalesMethods(NamedMethods& methods);

} // namespace orvane
