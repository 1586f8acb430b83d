#pragma once
// The objects the application server serves, registered by class name: the shell's
// services "OrvaneS.Services", the lookup service "F2WindowS.Class1" and the sales-order
// program's "TavIS52S.Class1". Both the network server and the embedded (in-process)
// server are made of these same objects.

#include "platform/variant/Dispatch.h"
#include "server/salesorder/OrderServer.h"
#include "server/services/ServiceContext.h"

#include <filesystem>
#include <memory>

namespace orvane {

// Creates whatever is missing of the schema of the system database and of every company
// it lists. Raises DbError when a database carries a newer schema than this server knows.
void upgradeSchema(Database& db);

// Registers the server objects over the pool in `registry`.
std::shared_ptr<ServiceContext> registerServerObjects(std::shared_ptr<ConnectionPool> pool, ServicesOptions options,
                                                      AutomationRegistry& registry = AutomationRegistry::instance(),
                                                      OrderServerOptions orderOptions = {});

// The embedded server of a client whose configured server address is 127.0.0.1: the
// same objects, in process, over the SQLite database of `dataFolder` (orvane.db and
// the company files), with the schema brought up to date. No socket is opened.
std::shared_ptr<ServiceContext> startEmbeddedServer(const std::filesystem::path& dataFolder,
                                                    AutomationRegistry& registry = AutomationRegistry::instance());

} // namespace orvane
