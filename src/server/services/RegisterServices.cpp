#include "server/services/RegisterServices.h"

#include "server/services/CoreMethods.h"
#include "server/services/DictionaryMethods.h"
#include "server/services/F2WindowObject.h"
#include "server/services/SalesMethods.h"
#include "server/services/ServicesObject.h"
#include "server/services/ShellMethods.h"
#include "server/services/WorkflowMethods.h"

namespace orvane {

std::shared_ptr<ServiceContext> registerServices(std::shared_ptr<ConnectionPool> pool, ServicesOptions options,
                                                 AutomationRegistry& registry)
{
    auto context = std::make_shared<ServiceContext>(std::move(pool), options);
    registerCoreMethods(context->methods());
    registerSalesMethods(context->methods());
    registerShellMethods(context->methods());
    registerDictionaryMethods(context->methods());
    registerWorkflowMethods(context->methods());
    registry.registerClass("OrvaneS.Services", [context] { return std::make_shared<ServicesObject>(context); });
    registry.registerClass("F2WindowS.Class1", [context] { return std::make_shared<F2WindowObject>(context); });
    return context;
}

} // namespace orvane
