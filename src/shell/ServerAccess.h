#pragma once
// How the client reaches the application server. When the configured address is exactly
// "127.0.0.1" the server objects run in this process (the embedded server over the SQLite
// data folder, no socket); otherwise they are reached over TCP: the shell's session logs in
// with the user's credentials, and each further session (a program's data module) with a
// single-use ticket the shell's session asks for, which spares the server a password check.
// Every session reconnects after the server went away (ServerLink). Either way the objects work in UTF-8 while the
// client's strings are in the data code page: every object handed out is wrapped in one transcoding adaptor, so both
// roads convert texts the same way.
//
// Client thread only.

#include "platform/text/CodePage.h"
#include "platform/variant/Dispatch.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

class RpcConnection;
class ServerConnector;
class ServerLink;
class TOrvaneIniC;

// The server cannot be reached, or refused the login; the text names the address and port.
class ServerAccessError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Who the client works for; held in memory for the connections opened later.
struct ServerCredentials {
    std::string user;      // user code, data code page
    std::string password;  // data code page
    std::string companyId; // company identifier
};

struct ServerAccessOptions {
    std::string address;                                            // "127.0.0.1": embedded
    std::uint16_t port = 211;                                       // TCP port of a remote server
    // Longest wait for an answer over TCP. A server that took a call and stopped answering (its
    // process stopped, its machine hung) would otherwise hold the clerk's window for good: past it
    // the call fails as a broken connection would, and the next call connects again.
    std::chrono::milliseconds callTimeout = std::chrono::seconds(60);
    std::filesystem::path dataFolder;                               // embedded: orvane.db and the company files
    text::CodePage dataCodePage = text::CodePage::Gbk;              // code page of the client's data texts
    AutomationRegistry* registry = &AutomationRegistry::instance(); // embedded: where the objects are registered

    // The first server of the configuration's list (address and port), an empty address when
    // the list is empty; the data code page of the configuration; the embedded data folder
    // "data" under the client path.
    static ServerAccessOptions fromConfiguration(const TOrvaneIniC& configuration);
};

class ServerAccess {
public:
    // The address that selects the embedded server.
    static constexpr std::string_view embeddedAddress = "127.0.0.1";

    // Reaches the server and logs in; raises ServerAccessError naming the address and port
    // when it cannot connect or the credentials are refused.
    ServerAccess(ServerAccessOptions options, ServerCredentials credentials);
    ServerAccess(const ServerAccess&) = delete;
    ServerAccess& operator=(const ServerAccess&) = delete;
    ~ServerAccess();

    // A server object on the shared session (the shell's); an unknown class raises DispatchError.
    DispatchPtr createObject(std::string_view className);
    // A server object on a session of its own: a new connection over TCP (the data module's),
    // logged in with a ticket of the shared session; the same process login when embedded.
    // Its "Connect" is repeated when it reconnects.
    DispatchPtr createObjectInOwnSession(std::string_view className);

    // A connector that gives program modules their own server objects through this access: for
    // the address this access was opened for (any port when embedded), refusing any other
    // server. This access must outlive the connector's use.
    std::shared_ptr<ServerConnector> connector();

    bool embedded() const { return embedded_; }
    // The code page of the client's texts on this road.
    text::CodePage dataCodePage() const { return options_.dataCodePage; }
    // "address:port", as error texts show it.
    const std::string& endpoint() const { return endpoint_; }

private:
    void startEmbedded();
    DispatchPtr wrap(DispatchPtr object) const;
    [[noreturn]] void fail(const std::string& what, const std::exception& cause) const;

    ServerAccessOptions options_;
    ServerCredentials credentials_;
    bool embedded_;
    std::string endpoint_;
    std::shared_ptr<ServerLink> shared_; // the shared session over TCP
};

} // namespace orvane
