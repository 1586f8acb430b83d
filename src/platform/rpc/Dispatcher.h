#pragma once
// Answers one request frame for a session: login, create, invoke, get, put, release.
// It knows nothing about sockets, so it is tested with hand-made bytes. Errors of
// the called object become error responses carrying the object's text; a frame
// that breaks the format gets an error response and asks for the connection to
// be closed. Thread-safe: it holds no state of its own; sessions are passed in.

#include "platform/rpc/RpcLimits.h"
#include "platform/rpc/Session.h"
#include "platform/rpc/SessionLogin.h"
#include "platform/rpc/Wire.h"
#include "platform/variant/Dispatch.h"

#include <string>
#include <string_view>

namespace orvane {

struct DispatchResult {
    std::string response;         // the response frame to send
    bool closeConnection = false; // the request was malformed: close after sending
};

class Dispatcher {
public:
    // Without an authenticator the server takes no "login" and objects get no identity.
    explicit Dispatcher(const AutomationRegistry& registry = AutomationRegistry::instance(), RpcLimits limits = {},
                        Authenticator authenticate = {})
        : registry_(registry), limits_(limits), authenticate_(std::move(authenticate))
    {}

    // One request frame, as bytes: checked against the limits, then answered.
    DispatchResult dispatch(Session& session, std::string_view frame) const;
    // One request frame, already unpacked.
    DispatchResult dispatch(Session& session, const msgpack::object& frame) const;

    const RpcLimits& limits() const { return limits_; }

private:
    struct Call;
    using Handler = void (Dispatcher::*)(Call& call) const;
    struct Method {
        std::string_view name;
        std::size_t argCount;
        std::string_view argNames; // shown in argument errors
        Handler handler;
    };

    static const Method* findMethod(std::string_view name);
    void answer(Call& call, const Method& method) const;

    void login(Call& call) const;
    void create(Call& call) const;
    void invoke(Call& call) const;
    void get(Call& call) const;
    void put(Call& call) const;
    void release(Call& call) const;

    const AutomationRegistry& registry_;
    RpcLimits limits_;
    Authenticator authenticate_;
};

} // namespace orvane
