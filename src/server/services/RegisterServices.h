#pragma once
// Makes the server's session objects creatable by name: "OrvaneS.Services" (the shell's
// components) and "F2WindowS.Class1" (the lookup service). Each creation gives a new
// object, so each client session has its own login. The core named methods are
// registered; later methods are added to the returned context's methods() before the
// server starts serving.
//
// Threads: call at start-up, from one thread.

#include "platform/variant/Dispatch.h"
#include "server/services/ServiceContext.h"

#include <memory>

namespace orvane {

std::shared_ptr<ServiceContext> registerServices(std::shared_ptr<ConnectionPool> pool, ServicesOptions options = {},
                                                 AutomationRegistry& registry = AutomationRegistry::instance());

} // namespace orvane
