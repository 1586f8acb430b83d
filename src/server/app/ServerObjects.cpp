#include "server/app/ServerObjects.h"

#include "server/db/SqliteDatabase.h"
#include "server/salesorder/OrderServer.h"
#include "server/schema/SchemaBuilder.h"
#include "server/services/RegisterServices.h"

namespace orvane {

void upgradeSchema(Database& db)
{
    createSchema(db, "");
    for (const auto& row : db.query("SELECT COMPANY_DB FROM SYS_COMPANY ORDER BY COMPANY_DB").rows)
        createSchema(db, row.at(0).toString());
}

std::shared_ptr<ServiceContext> registerServerObjects(std::shared_ptr<ConnectionPool> pool, ServicesOptions options,
                                                      AutomationRegistry& registry, OrderServerOptions orderOptions)
{
    auto context = registerServices(std::move(pool), options, registry);
    registerOrderServer(context, registry, orderOptions);
    return context;
}

std::shared_ptr<ServiceContext> startEmbeddedServer(const std::filesystem::path& dataFolder,
                                                    AutomationRegistry& registry)
{
    ConnectionPool::Factory factory = sqliteFactory(dataFolder);
    upgradeSchema(*factory());
    // The client is single-threaded: a few connections serve its objects.
    auto pool = std::make_shared<ConnectionPool>(factory, 4);
    return registerServerObjects(std::move(pool), ServicesOptions{.embedded = true}, registry);
}

} // namespace orvane
