#include "platform/rpc/ServerConnector.h"

#include <mutex>

namespace orvane {

namespace {

std::mutex connectorMutex;
std::shared_ptr<ServerConnector> processConnector;

} // namespace

std::shared_ptr<ServerConnector> ServerConnector::installed()
{
    std::lock_guard lock(connectorMutex);
    return processConnector;
}

void ServerConnector::install(std::shared_ptr<ServerConnector> connector)
{
    std::lock_guard lock(connectorMutex);
    processConnector = std::move(connector);
}

} // namespace orvane
