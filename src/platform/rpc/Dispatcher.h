#pragma once
// Answers one request frame for a session: login, ticket, redeem, create, invoke, get,
// put, release.
// It knows nothing about sockets, so it is tested with hand-made bytes. Errors of
// the called object become error responses carrying the object's text; a frame
// that breaks the format gets an error response and asks for the connection to
// be closed. A login is only read here: its check (password hashing, slow on
// purpose) is left to the caller, who runs checkLogin where it costs no request
// thread; tickets are left to the connection, which knows the session's login. Thread-safe: it holds no state of its
// own; sessions are passed in.

#include "platform/rpc/RpcLimits.h"
#include "platform/rpc/Session.h"
#include "platform/rpc/SessionLogin.h"
#include "platform/rpc/Wire.h"
#include "platform/variant/Dispatch.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// A login whose credentials have been read but not yet checked.
struct PendingLogin {
    std::uint32_t id = 0;
    std::vector<Variant> credentials;
    std::string account; // the first credential as text, naming the account in logs
};

// A request about tickets (TicketBook), answered by the connection that knows the session's login.
struct TicketRequest {
    std::uint32_t id = 0;
    bool issue = false;  // "ticket": issue one; otherwise "redeem" one
    std::string account; // redeem: the account the ticket must have been issued for
    std::string ticket;  // redeem: the ticket
};

struct DispatchResult {
    std::string response;                // the response frame to send
    bool closeConnection = false;        // the request was malformed: close after sending
    std::optional<PendingLogin> login;   // a login to check, instead of a response
    std::optional<TicketRequest> ticket; // a ticket to issue or redeem, instead of a response
};

struct LoginAnswer {
    std::string response;
    bool accepted = false;
    std::string refusal;      // the authenticator's reason, when refused
    bool checkFailed = false; // the credentials could not be checked; refusal holds why, for the log only
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

    // Announces the invocations of one member of one object that arrived together, this frame
    // and those following it, to the object when it prepares such calls (Dispatch::prepareCalls);
    // each is then dispatched as usual. Answers how many frames the run holds, at least 1;
    // anything but an invocation of that member ends it.
    std::size_t announceCalls(Session& session, std::string_view frame,
                              std::span<const std::string_view> following) const;

    // Checks a pending login and answers it; on success the session keeps the identity.
    LoginAnswer checkLogin(Session& session, const PendingLogin& login) const;
    // An error response to request `id`.
    static std::string refusal(std::uint32_t id, RpcErrorCode code, std::string_view message);

    const RpcLimits& limits() const { return limits_; }
    bool takesLogins() const { return static_cast<bool>(authenticate_); }

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
    void ticket(Call& call) const;
    void redeem(Call& call) const;
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
