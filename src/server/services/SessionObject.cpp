#include "server/services/SessionObject.h"

#include "server/services/LoginCheck.h"
#include "server/services/ServiceError.h"
#include "server/services/SessionAuthenticator.h"

namespace orvane {

SessionObject::SessionObject(std::string className, std::shared_ptr<ServiceContext> context)
    : AutomationObject(std::move(className)), context_(std::move(context)), login_(context_->sharedLogin())
{
    method("Login", 3, [this](std::span<Variant> args) { return logIn(args); });
    method("Attach", 2, [this](std::span<Variant> args) { return attachTrusted(args); });
}

void SessionObject::attach(SessionLogin login)
{
    login_ = std::move(login);
    context_->shareLogin(*login_);
}

void SessionObject::bindSession(const Variant& identity)
{
    remote_ = true;
    if (const auto login = loginOf(identity))
        attach(*login);
}

const SessionLogin& SessionObject::login() const
{
    if (!login_)
        throw ServiceError(className() + ": not logged in; call Login first");
    return *login_;
}

void SessionObject::checkCompanyDb(const Variant& given) const
{
    const std::string name = given.isEmpty() ? std::string() : given.toString();
    if (!name.empty() && name != login().companyDb)
        throw ServiceError("Company database '" + name + "' is not this session's ('" + login().companyDb + "')");
}

void SessionObject::checkCompanyId(const Variant& given) const
{
    const std::string id = given.isEmpty() ? std::string() : given.toString();
    if (!id.empty() && id != login().companyId)
        throw ServiceError("Company '" + id + "' is not this session's ('" + login().companyId + "')");
}

Variant SessionObject::logIn(std::span<Variant> args)
{
    if (remote_)
        throw ServiceError(className() +
                           ": Login is not taken over the network; the connection's login proves who works");
    const auto found = context_->withSystem([&](Database& db) {
        return checkPasswordLogin(db, args[0].toString(), args[1].toString(), args[2].toString());
    });
    if (!found)
        return false;
    attach(*found);
    return true;
}

Variant SessionObject::attachTrusted(std::span<Variant> args)
{
    if (!context_->embedded())
        throw ServiceError(className() + ": Attach is only for the embedded server; log in with a password");
    const auto found =
        context_->withSystem([&](Database& db) { return trustedLogin(db, args[0].toString(), args[1].toString()); });
    if (!found)
        return false;
    attach(*found);
    return true;
}

} // namespace orvane
