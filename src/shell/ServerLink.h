#pragma once
// A logged-in TCP session with the application server that outlives the connection it
// runs on. When the server went away (restarted, closed an idle connection, the network
// was cut) the next call opens a new connection and logs in again, and the objects made
// through the link (`LinkedObject`) are made again on it, with their setup calls (the data
// module's "Connect") repeated. A call that was on its way when the connection broke is
// reported as failed with a text saying so, and never sent again by itself: the server
// may have done it (saves carry a request id the server recognises; see docs/drafts.md).
//
// Client thread only.

#include "platform/variant/Dispatch.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

class RpcConnection;

class ServerLink {
public:
    // Connects and logs in; raises when it cannot.
    using Open = std::function<std::shared_ptr<RpcConnection>()>;

    // Opens the first connection at once, so that a refused login is reported now.
    ServerLink(Open open, std::string endpoint);

    // The open connection; a new, logged-in one when the server closed the last.
    RpcConnection& connection();
    // Counts the connections opened; an object made under an older one must be made again.
    std::uint64_t generation() const { return generation_; }
    // Raises the error for a call lost with its connection, when the connection is closed;
    // returns otherwise (the failure was the call's own).
    void checkLost(const std::exception& failure) const;
    const std::string& endpoint() const { return endpoint_; }

private:
    Open open_;
    std::string endpoint_;
    std::shared_ptr<RpcConnection> connection_;
    std::uint64_t generation_ = 0;
};

// A server object of one class on a ServerLink, made again on the link's new connection
// after a reconnect. Calls named in `setupCalls` (compared without case) that succeeded,
// alone or in a batch, are kept as they were sent (the last of each name), and repeated in
// order on the new object before anything else is called.
class LinkedObject : public Dispatch {
public:
    LinkedObject(std::shared_ptr<ServerLink> link, std::string className, std::vector<std::string> setupCalls = {});

    Variant invoke(std::string_view name, std::span<Variant> args) override;
    void invokeAll(std::span<Invocation> calls) override;
    Variant get(std::string_view name) override;
    void put(std::string_view name, const Variant& value) override;
    std::string className() const override { return className_; }
    // The server's object itself, as an argument of a call on the same connection names it.
    DispatchPtr current() { return object_; }

private:
    struct SetupCall {
        std::string name;
        std::vector<Variant> args;
    };

    // The object on the link's current connection, made (and set up) when missing.
    Dispatch& object();
    void remake();
    bool isSetup(std::string_view name) const;
    // Keeps a setup call that succeeded, in place of an earlier one of the same name.
    void remember(std::string_view name, std::vector<Variant> args);
    // Runs `call` on the current object; a call lost with its connection raises the link's error.
    template <typename Call>
    auto guarded(Call&& call);

    std::shared_ptr<ServerLink> link_;
    std::string className_;
    std::vector<std::string> setupNames_;
    std::vector<SetupCall> setup_;
    DispatchPtr object_;
    std::uint64_t generation_ = 0;
};

} // namespace orvane
