#pragma once
// The network server's check of the protocol's "login": credentials [user, password,
// company identifier] become the session identity [user, company identifier, company
// database] that SessionObject and the program's server object bind to.
//
// Threads: any thread (the server's pool).

#include "platform/rpc/SessionLogin.h"
#include "server/services/ServiceContext.h"

#include <memory>
#include <optional>

namespace orvane {

Authenticator passwordAuthenticator(std::shared_ptr<ServiceContext> context);

// The identity a login becomes, and back; nullopt for a malformed identity.
Variant identityOf(const SessionLogin& login);
std::optional<SessionLogin> loginOf(const Variant& identity);

} // namespace orvane
