#include "server/services/ServiceContext.h"

namespace orvane {

ServiceContext::ServiceContext(std::shared_ptr<ConnectionPool> pool, ServicesOptions options)
    : pool_(std::move(pool)), options_(options)
{}

std::optional<SessionLogin> ServiceContext::sharedLogin() const
{
    std::lock_guard lock(mutex_);
    return shared_;
}

void ServiceContext::shareLogin(const SessionLogin& login)
{
    if (!options_.embedded)
        return;
    std::lock_guard lock(mutex_);
    shared_ = login;
}

} // namespace orvane
