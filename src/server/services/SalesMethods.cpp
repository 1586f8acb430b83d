#include "server/services/SalesMethods.h"

#include "server/services/SalesMethodGroups.h"

namespace orvane {

void registerSalesMethods(NamedMethods& methods)
{
    registerExchangeMethods(methods);
    registerQuantityMethods(methods);
    registerPriceMethods(methods);
    registerStockMethods(methods);
    registerCreditMethods(methods);
    registerBomMethods(methods);
    registerItemCheckMethod(methods);
}

} // namespace orvane
