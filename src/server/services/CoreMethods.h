#pragma once
// The named methods every server offers from the start:
//   "SimpleSql"  the known statement shapes (see SimpleSql.h)
//   "NewDocNo"   [order type, document date YYYYMMDD] -> the next free order number of
//                the type, without giving it away ("" for a type numbered by hand); the
//                number is given for good when the order is saved.

#include "server/services/NamedMethods.h"

namespace orvane {

void registerCoreMethods(NamedMethods& methods);

} // namespace orvane
