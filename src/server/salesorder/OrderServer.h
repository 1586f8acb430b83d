#pragma once
// "TavIS52S.Class1": the sales-order program's server object, one per client session.
//
//   Connect(request&)         request = [program, user, company, company database, flag]
//                             -> 0 accepted, else a ConnectCode; opens the session
//   SvrData (property)        NAME=VALUE lines of the program parameters ("" before Connect)
//   WhatIs/Whatis(item)       "SQLTYPE" 1 SQLite, 2 PostgreSQL; "SEQNO" the number the
//                             last save gave; "TODAY" the server date YYYYMMDD
//   TODAY()                   the server date YYYYMMDD
//   SetTopRow(n)              most heads the next opening selects (0 no limit)
//   SetIsSeq(flag)            true (-1): the following saves number new heads
//   AS_GetRecords, AS_ApplyUpdates  the provider "pvdMain" (platform/data/DispatchProvider.h);
//                             an apply may carry a request identifier (OrderProvider)
//   Confirm(request&)         request = [[TC001, TC002], FLAG, "DO" or "UNDO", "TXN", date]
//                             -> [code, message, TC027, FLAG] (OrderConfirmation.h); the
//                             request is left as it came
//
// Every call but Connect, SvrData and the inherited Login/Attach is refused before a
// successful Connect. When the session already holds a login (the embedded process
// login, or a Login on this object), Connect accepts only that user and company.
//
// Threads: one session's calls arrive one at a time; the state is locked anyway.

#include "platform/data/DispatchProvider.h"
#include "server/salesorder/OrderProvider.h"
#include "server/services/SessionObject.h"

#include <chrono>
#include <memory>
#include <mutex>

namespace orvane {

struct OrderServerOptions {
    // How long the answer of a save with a request identifier is kept for a retry.
    std::chrono::seconds keepAnswers = ApplyRequests::defaultKeep;
};

class OrderServer : public SessionObject {
public:
    static constexpr const char* classId = "TavIS52S.Class1";

    explicit OrderServer(std::shared_ptr<ServiceContext> context, OrderServerOptions options = {});

    // The provider of the open session, nullptr before a successful Connect.
    std::shared_ptr<OrderProvider> provider() const;

private:
    Variant connect(std::span<Variant> args);
    Variant whatIs(const Variant& item);
    Variant confirm(const Variant& request);
    // The provider of the open session; raises for a call before a successful Connect.
    std::shared_ptr<OrderProvider> session(std::string_view call) const;
    Variant forward(std::string_view call, std::span<Variant> args);

    std::shared_ptr<ServiceContext> services_; // what the session's provider works with
    OrderServerOptions options_;
    mutable std::mutex mutex_; // guards the members below
    std::shared_ptr<OrderProvider> provider_;
    std::shared_ptr<ProviderHost> host_; // answers the provider calls for provider_
    std::string svrData_;
    int sqlType_ = 0;
};

// Makes "TavIS52S.Class1" creatable by name, each creation a new session object.
void registerOrderServer(std::shared_ptr<ServiceContext> context,
                         AutomationRegistry& registry = AutomationRegistry::instance(),
                         OrderServerOptions options = {});

} // namespace orvane
