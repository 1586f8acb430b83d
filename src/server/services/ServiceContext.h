#pragma once
// What the server objects of every session share: the connection pool, the named
// methods and, in the embedded (in-process) mode, the one login of the process.
//
// Threads: any thread. Named methods are registered at start-up, before sessions call them.

#include "server/db/ConnectionPool.h"
#include "server/services/NamedMethods.h"
#include "server/services/SessionLogin.h"

#include <memory>
#include <mutex>
#include <optional>

namespace orvane {

struct ServicesOptions {
    // In-process use by the client itself: "Attach" (a login without password) is
    // allowed, and the first login is shared with every server object created after it,
    // so objects the module creates by name ("F2WindowS.Class1") work for the user the
    // shell logged in. Never set for a server that listens on the network.
    bool embedded = false;
};

class ServiceContext {
public:
    ServiceContext(std::shared_ptr<ConnectionPool> pool, ServicesOptions options);

    // Runs work with a pooled connection on which the login's company database is addressable.
    template <class Work>
    auto withCompany(const SessionLogin& login, Work&& work)
    {
        auto lease = pool_->acquire();
        lease->ensureCompany(login.companyDb);
        return work(*lease);
    }
    // Runs work with a pooled connection (system database only).
    template <class Work>
    auto withSystem(Work&& work)
    {
        auto lease = pool_->acquire();
        return work(*lease);
    }

    NamedMethods& methods() { return methods_; }
    const NamedMethods& methods() const { return methods_; }
    bool embedded() const { return options_.embedded; }

    // The process login of the embedded mode (nullopt before the first login, and always
    // when not embedded).
    std::optional<SessionLogin> sharedLogin() const;
    // Records a login as the process login when embedded; does nothing otherwise.
    void shareLogin(const SessionLogin& login);

private:
    std::shared_ptr<ConnectionPool> pool_;
    ServicesOptions options_;
    NamedMethods methods_;
    mutable std::mutex mutex_; // guards shared_
    std::optional<SessionLogin> shared_;
};

} // namespace orvane
