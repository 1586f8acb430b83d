#include "server/services/SessionAuthenticator.h"

#include "server/services/LoginCheck.h"

namespace orvane {

Authenticator passwordAuthenticator(std::shared_ptr<ServiceContext> context)
{
    return [context](std::span<const Variant> credentials) {
        if (credentials.size() != 3)
            throw LoginRefused("login takes [user, password, company], got " + std::to_string(credentials.size()) +
                               " value(s)");
        const auto login = context->withSystem([&](Database& db) {
            return checkPasswordLogin(db, credentials[0].toString(), credentials[1].toString(),
                                      credentials[2].toString());
        });
        // One text for every refusal, so that accounts cannot be probed.
        if (!login)
            throw LoginRefused("login refused: unknown user, wrong password or company not allowed");
        return LoginOutcome{identityOf(*login), true};
    };
}

Variant identityOf(const SessionLogin& login)
{
    return Variant::arrayOf({login.userId, login.companyId, login.companyDb});
}

std::optional<SessionLogin> loginOf(const Variant& identity)
{
    if (!identity.isArray() || identity.dimensions() != 1 || identity.array().size() != 3)
        return std::nullopt;
    const auto values = identity.array().elements();
    return SessionLogin{values[0].toString(), values[1].toString(), values[2].toString()};
}

} // namespace orvane
