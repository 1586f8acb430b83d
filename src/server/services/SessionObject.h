#pragma once
// The base of the server objects a session creates by name: it holds the session's
// login. A client logs in with "Login"(user, password, company identifier), which
// answers true when the password matches and the user may work in the company. In the
// embedded mode the client may instead "Attach"(user, company identifier), and objects
// created after a login start with the process login. Over the network, an object
// created by a session that logged in with the protocol's "login" starts with that
// session's login, and "Login" is refused there: a network session logs in once, with
// the protocol's login, which the server checks off its request threads and slows down
// after failures. Every other method refuses to run before a login.
//
// Threads: one session's requests arrive one at a time; an object is not shared
// between sessions.

#include "platform/rpc/SessionLogin.h"
#include "platform/variant/Dispatch.h"
#include "server/services/ServiceContext.h"

#include <memory>
#include <optional>

namespace orvane {

class SessionObject : public AutomationObject, public SessionBound {
public:
    // Binds the object to a login established elsewhere (server-side callers).
    void attach(SessionLogin login);
    bool loggedIn() const { return login_.has_value(); }
    // Takes the login of the network session that created the object.
    void bindSession(const Variant& identity) override;

protected:
    SessionObject(std::string className, std::shared_ptr<ServiceContext> context);

    // The session's login; raises ServiceError when there is none yet.
    const SessionLogin& login() const;
    ServiceContext& context() { return *context_; }
    // Refuses a company database the client names that is not the session's (empty is
    // the session's).
    void checkCompanyDb(const Variant& given) const;
    // Refuses a company identifier the client names that is not the session's.
    void checkCompanyId(const Variant& given) const;

private:
    Variant logIn(std::span<Variant> args);
    Variant attachTrusted(std::span<Variant> args);

    std::shared_ptr<ServiceContext> context_;
    std::optional<SessionLogin> login_;
    bool remote_ = false; // created by a network session
};

} // namespace orvane
