#include "server/salesorder/OrderServer.h"

#include "platform/text/ByteText.h"
#include "server/salesorder/OrderConfirmation.h"
#include "server/salesorder/ProgramAccess.h"
#include "server/schema/SchemaBuilder.h"
#include "server/services/ServiceError.h"

namespace orvane {

namespace {

constexpr const char* providerName = "pvdMain";

// The text of a request element, or nothing for a value that is not a single value.
std::optional<std::string> requestText(const Variant& value)
{
    if (value.isArray() || value.isDispatch())
        return std::nullopt;
    return value.toString();
}

std::optional<ConnectRequest> connectRequest(const Variant& value)
{
    if (!value.isArray() || value.dimensions() != 1 || value.array().size() < 4)
        return std::nullopt;
    const int low = value.lowBound();
    std::optional<std::string> parts[4];
    for (int i = 0; i < 4; ++i) {
        parts[i] = requestText(value[low + i]);
        if (!parts[i])
            return std::nullopt;
    }
    return ConnectRequest{*parts[0], *parts[1], *parts[2], *parts[3]};
}

ServiceError notConnected(std::string_view call)
{
    return ServiceError(std::string(OrderServer::classId) + ": " + std::string(call) +
                        " needs a successful Connect first");
}

} // namespace

OrderServer::OrderServer(std::shared_ptr<ServiceContext> context, OrderServerOptions options)
    : SessionObject(classId, context), services_(std::move(context)), options_(options)
{
    method("Connect", 1, [this](std::span<Variant> args) { return connect(args); });
    const auto svrData = [this] {
        const std::lock_guard lock(mutex_);
        return Variant(svrData_);
    };
    property("SvrData", svrData);
    // Also a call, so that a client sends it in one batch with its "Connect".
    method("SvrData", 0, [svrData](std::span<Variant>) { return svrData(); });
    method("WhatIs", 1, [this](std::span<Variant> args) { return whatIs(args[0]); });
    method("TODAY", 0, [this](std::span<Variant>) {
        session("TODAY");
        return Variant(todayText());
    });
    method("SetTopRow", 1, [this](std::span<Variant> args) {
        const auto provider = session("SetTopRow");
        const std::int64_t rows = args[0].toInteger();
        if (rows < 0 || rows > 1'000'000'000)
            throw ServiceError("SetTopRow: " + args[0].toString() + " is not a row limit (0 for none)");
        provider->setRowLimit(static_cast<int>(rows));
        return Variant();
    });
    method("SetIsSeq", 1, [this](std::span<Variant> args) {
        session("SetIsSeq")->setNumbering(args[0].toBoolean());
        return Variant();
    });
    method("AS_GetRecords", 4, [this](std::span<Variant> args) { return forward("AS_GetRecords", args); });
    method("AS_ApplyUpdates", 3, 5, [this](std::span<Variant> args) { return forward("AS_ApplyUpdates", args); });
    method("Confirm", 1, [this](std::span<Variant> args) { return confirm(args[0]); });
}

std::shared_ptr<OrderProvider> OrderServer::provider() const
{
    const std::lock_guard lock(mutex_);
    return provider_;
}

Variant OrderServer::connect(std::span<Variant> args)
{
    const std::optional<SessionLogin> authenticated = loggedIn() ? std::optional(login()) : std::nullopt;
    const auto request = connectRequest(args[0]);
    const ConnectAnswer answer =
        request ? checkConnect(context(), *request, authenticated) : ConnectAnswer{ConnectCode::BadRequest, {}, {}};
    const std::lock_guard lock(mutex_);
    provider_.reset();
    host_.reset();
    svrData_.clear();
    if (answer.code != ConnectCode::Accepted)
        return Variant(static_cast<int>(answer.code));
    provider_ = std::make_shared<OrderProvider>(services_, answer.login, answer.rights, options_.keepAnswers);
    host_ = std::make_shared<ProviderHost>(classId);
    host_->addProvider(providerName, provider_);
    svrData_ = answer.svrData;
    sqlType_ = context().withSystem([](Database& db) { return db.dialect().clientSqlType(); });
    return Variant(0);
}

Variant OrderServer::whatIs(const Variant& item)
{
    const auto provider = session("WhatIs");
    const std::string name = item.isString() ? item.asString() : std::string();
    if (text::equalsIgnoringAsciiCase(name, "SQLTYPE")) {
        const std::lock_guard lock(mutex_);
        return Variant(sqlType_);
    }
    if (text::equalsIgnoringAsciiCase(name, "SEQNO"))
        return Variant(provider->lastNumber());
    if (text::equalsIgnoringAsciiCase(name, "TODAY"))
        return Variant(todayText());
    throw ServiceError("WhatIs: unknown item '" + (item.isString() ? name : std::string(typeName(item.type()))) +
                       "' (SQLTYPE, SEQNO or TODAY)");
}

Variant OrderServer::confirm(const Variant& request)
{
    const auto provider = session("Confirm");
    const auto parsed = confirmRequest(request);
    if (!parsed)
        return badConfirmRequest().toVariant();
    const SessionLogin& login = provider->login();
    return services_
        ->withCompany(login, [&](Database& db) { return confirmOrder(db, login, provider->rights(), *parsed); })
        .toVariant();
}

std::shared_ptr<OrderProvider> OrderServer::session(std::string_view call) const
{
    const std::lock_guard lock(mutex_);
    if (!provider_)
        throw notConnected(call);
    return provider_;
}

Variant OrderServer::forward(std::string_view call, std::span<Variant> args)
{
    std::shared_ptr<ProviderHost> host;
    {
        const std::lock_guard lock(mutex_);
        host = host_;
    }
    if (!host)
        throw notConnected(call);
    return host->invoke(call, args);
}

void registerOrderServer(std::shared_ptr<ServiceContext> context, AutomationRegistry& registry,
                         OrderServerOptions options)
{
    registry.registerClass(OrderServer::classId,
                           [context, options] { return std::make_shared<OrderServer>(context, options); });
}

} // namespace orvane
