#pragma once
// How a program module reaches its application-server object. The process that logged the
// user in (the shell) holds the credentials and installs a connector; a module asks it for a
// server object at the address it read from the configuration: in process for the embedded
// address "127.0.0.1" (no socket), otherwise on a new socket connection logged in for the same
// user (with a ticket of the shell's session). Either way
// the object speaks the client's code page. The password never passes through the module.
//
// Client thread only (install before loading modules).

#include "platform/variant/Dispatch.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace orvane {

class ServerConnector {
public:
    virtual ~ServerConnector() = default;

    // A server object of className at address:port for the process's user. Raises an error
    // naming the address and port when that is not possible.
    virtual DispatchPtr connect(std::string_view address, std::uint16_t port, std::string_view className) = 0;

    // The connector of this process; null until one is installed.
    static std::shared_ptr<ServerConnector> installed();
    // Makes connector the process's (null removes it).
    static void install(std::shared_ptr<ServerConnector> connector);
};

} // namespace orvane
