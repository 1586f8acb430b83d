#pragma once
// Who a network session works for. A client proves it once per connection with the
// protocol's "login" request; the server's authenticator turns the credentials into an
// identity kept by the session, and every object the session creates afterwards that
// implements SessionBound receives that identity. What credentials and identities hold
// is the application's business: the transport only carries them.

#include "platform/variant/Variant.h"

#include <functional>
#include <span>

namespace orvane {

// The answer of an authenticator: the identity the session keeps, and the reply the
// client receives.
struct LoginOutcome {
    Variant identity;
    Variant reply;
};

// Checks a session's credentials; raises (with a text the client may see) to refuse them.
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
