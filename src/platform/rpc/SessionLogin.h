#pragma once
// Who a network session works for. A client proves it once per connection with the
// protocol's "login" request; the server's authenticator turns the credentials into an
// identity kept by the session, and every object the session creates afterwards that
// implements SessionBound receives that identity. What credentials and identities hold
// is the application's business: the transport only carries them.

#include "platform/variant/Variant.h"

#include <functional>
#include <span>
#include <stdexcept>

namespace orvane {

// The answer of an authenticator: the identity the session keeps, and the reply the
// client receives.
struct LoginOutcome {
    Variant identity;
    Variant reply;
};

// An authenticator's refusal of the credentials (unknown user, wrong password and the like):
// its text reaches the client, and it counts as a failed login of the account and the address.
class LoginRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Checks a session's credentials; raises LoginRefused to refuse them. Any other exception means
// the credentials could not be checked (the database is away): the client gets a fixed text,
// the server's log the exception's, and nothing is counted against the account.
// Called from the server's pool threads.
using Authenticator = std::function<LoginOutcome(std::span<const Variant> credentials)>;

// An object that works for the network session that created it.
class SessionBound {
public:
    virtual ~SessionBound() = default;
    // Called once, right after a network session created the object: with the
    // session's identity, or Unassigned when the session has not logged in.
    virtual void bindSession(const Variant& identity) = 0;
};

} // namespace orvane
