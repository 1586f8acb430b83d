#include "shell/ServerAccess.h"

#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"
#include "platform/rpc/ServerConnector.h"
#include "platform/variant/NumberText.h"
#include "server/app/ServerObjects.h"
#include "services/OrvaneINI.h"
#include "shell/ServerLink.h"

#include <algorithm>

namespace orvane {

namespace {

constexpr std::string_view servicesClass = "OrvaneS.Services";

// Converts the strings of a variant in place, arrays element by element, with `convert`. In
// place, because a data packet is an array of arrays a few levels deep: copying each level
// before converting it copied every row once per level.
template <typename Convert, typename OnObject>
void convertTexts(Variant& value, const Convert& convert, const OnObject& onObject)
{
    switch (value.type()) {
    case VariantType::String:
        // Every code page keeps ASCII as it is; codes, numbers and dates are left in place.
        if (!std::ranges::all_of(value.asString(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            value = Variant(convert(value.asString()));
        return;
    case VariantType::Array:
        for (Variant& element : value.array().elements())
            convertTexts(element, convert, onObject);
        return;
    case VariantType::Dispatch: value = onObject(value.dispatch()); return;
    default: return;
    }
}

// A server object seen in the client's data code page: texts going in become UTF-8, texts
// coming back (answers, by-reference arguments, properties) return to the data code page,
// and objects the server hands out are wrapped alike. Arguments the callee did not change
// are left as the caller gave them, so no text is converted twice.
class TranscodingDispatch : public Dispatch {
public:
    TranscodingDispatch(DispatchPtr inner, text::CodePage codePage) : inner_(std::move(inner)), codePage_(codePage) {}

    Variant invoke(std::string_view name, std::span<Variant> args) override
    {
        std::vector<Variant> sent = toServer(args);
        const std::vector<Variant> before = sent;
        Variant answer = inner_->invoke(name, sent);
        takeBack(sent, before, args);
        return fromServer(std::move(answer));
    }
    void invokeAll(std::span<Invocation> calls) override
    {
        std::vector<Invocation> sent;
        sent.reserve(calls.size());
        for (const Invocation& call : calls)
            sent.push_back({call.name, toServer(call.args), {}, {}});
        std::vector<std::vector<Variant>> before;
        for (const Invocation& call : sent)
            before.push_back(call.args);
        inner_->invokeAll(sent);
        for (std::size_t i = 0; i < calls.size(); ++i) {
            calls[i].error = sent[i].error;
            if (sent[i].error)
                continue;
            takeBack(sent[i].args, before[i], calls[i].args);
            calls[i].result = fromServer(std::move(sent[i].result));
        }
    }
    Variant get(std::string_view name) override { return fromServer(inner_->get(name)); }
    void put(std::string_view name, const Variant& value) override { inner_->put(name, toServer(value)); }
    std::string className() const override { return inner_->className(); }

    static DispatchPtr wrap(DispatchPtr object, text::CodePage codePage)
    {
        if (!object || dynamic_cast<TranscodingDispatch*>(object.get()))
            return object;
        return std::make_shared<TranscodingDispatch>(std::move(object), codePage);
    }

private:
    std::vector<Variant> toServer(std::span<const Variant> args) const
    {
        std::vector<Variant> sent;
        sent.reserve(args.size());
        for (const Variant& arg : args)
            sent.push_back(toServer(arg));
        return sent;
    }
    // The arguments the server changed, back in the data code page.
    void takeBack(const std::vector<Variant>& sent, const std::vector<Variant>& before, std::span<Variant> args) const
    {
        for (std::size_t i = 0; i < args.size(); ++i)
            if (!(sent[i] == before[i]))
                args[i] = fromServer(sent[i]);
    }
    Variant toServer(Variant value) const
    {
        convertTexts(
            value, [this](const std::string& s) { return text::toUtf8(s, codePage_); },
            [](const DispatchPtr& object) -> Variant {
                // The server knows its own objects, not their client-side wrappers.
                auto* wrapped = dynamic_cast<TranscodingDispatch*>(object.get());
                const DispatchPtr inner = wrapped ? wrapped->inner_ : object;
                if (auto* linked = dynamic_cast<LinkedObject*>(inner.get()))
                    return linked->current();
                return inner;
            });
        return value;
    }
    Variant fromServer(Variant value) const
    {
        convertTexts(
            value, [this](const std::string& s) { return text::fromUtf8(s, codePage_); },
            [this](const DispatchPtr& object) -> Variant { return wrap(object, codePage_); });
        return value;
    }

    DispatchPtr inner_;
    text::CodePage codePage_;
};

std::string describe(const ServerCredentials& credentials)
{
    return "user '" + credentials.user + "' in company '" + credentials.companyId + "'";
}

// Setup calls of a data module's server object, repeated after a reconnect.
const std::vector<std::string> dataModuleSetup{"Connect"};

struct TcpRoad {
    std::string address;
    std::uint16_t port;
    std::string endpoint; // "address:port" as error texts show it
    std::chrono::milliseconds callTimeout;
};

[[noreturn]] void accessFailure(const std::string& endpoint, const std::string& what, const std::exception& cause)
{
    throw ServerAccessError("application server " + endpoint + ": " + what + ": " + cause.what());
}

std::shared_ptr<RpcConnection> connectTo(const TcpRoad& road)
{
    try {
        return RpcConnection::connect(road.address, road.port, {.callTimeout = road.callTimeout});
    } catch (const std::exception& e) {
        accessFailure(road.endpoint, "cannot connect", e);
    }
}

// A connection logged in with the credentials (UTF-8); `who` names them in errors.
std::shared_ptr<RpcConnection> openWithPassword(const TcpRoad& road, const std::vector<Variant>& credentials,
                                                const std::string& who)
{
    auto connection = connectTo(road);
    Variant reply;
    try {
        reply = connection->login(credentials);
    } catch (const std::exception& e) {
        accessFailure(road.endpoint, "cannot log in " + who, e);
    }
    if (reply.isBoolean() && !reply.asBoolean())
        throw ServerAccessError("application server " + road.endpoint + ": refused the login of " + who);
    return connection;
}

// A connection logged in with a ticket the shell's session was given for `account` (UTF-8).
std::shared_ptr<RpcConnection> openWithTicket(const TcpRoad& road, ServerLink& shell, const std::string& account)
{
    std::string ticket;
    try {
        ticket = shell.connection().requestTicket();
    } catch (const std::exception& e) {
        accessFailure(road.endpoint, "cannot open a further session", e);
    }
    auto connection = connectTo(road);
    try {
        connection->redeemTicket(account, ticket);
    } catch (const std::exception& e) {
        accessFailure(road.endpoint, "refused the further session of the shell's login", e);
    }
    return connection;
}

} // namespace

ServerAccessOptions ServerAccessOptions::fromConfiguration(const TOrvaneIniC& configuration)
{
    ServerAccessOptions options;
    const ServerEndpoint server = configuration.firstServer();
    if (server.port <= 0 || server.port > 65535)
        throw ServerAccessError("the configured port of application server " + server.address + " is '" +
                                std::to_string(server.port) + "', not a port number");
    options.address = server.address;
    options.port = static_cast<std::uint16_t>(server.port);
    if (const auto codePage =
            text::codePageFromNumber(static_cast<int>(text::parseIntegerOrZero(configuration.dbCodePage()))))
        options.dataCodePage = *codePage;
    options.dataFolder = std::filesystem::path(configuration.clientPath()) / "data";
    return options;
}

ServerAccess::ServerAccess(ServerAccessOptions options, ServerCredentials credentials)
    : options_(std::move(options)), credentials_(std::move(credentials)),
      embedded_(options_.address == embeddedAddress), endpoint_(options_.address + ":" + std::to_string(options_.port))
{
    if (embedded_) {
        startEmbedded();
        return;
    }
    const auto utf8 = [this](const std::string& s) { return Variant(text::toUtf8(s, options_.dataCodePage)); };
    const std::vector<Variant> login{utf8(credentials_.user), utf8(credentials_.password),
                                     utf8(credentials_.companyId)};
    const TcpRoad road{options_.address, options_.port, endpoint_, options_.callTimeout};
    shared_ = std::make_shared<ServerLink>(
        [road, login, who = describe(credentials_)] { return openWithPassword(road, login, who); }, endpoint_);
}

ServerAccess::~ServerAccess() = default;

DispatchPtr ServerAccess::createObject(std::string_view className)
{
    if (embedded_)
        return wrap(options_.registry->create(className));
    return wrap(std::make_shared<LinkedObject>(shared_, std::string(className)));
}

DispatchPtr ServerAccess::createObjectInOwnSession(std::string_view className)
{
    if (embedded_)
        return createObject(className);
    const TcpRoad road{options_.address, options_.port, endpoint_, options_.callTimeout};
    auto link = std::make_shared<ServerLink>(
        [road, shell = shared_, account = text::toUtf8(credentials_.user, options_.dataCodePage)] {
            return openWithTicket(road, *shell, account);
        },
        endpoint_);
    return wrap(std::make_shared<LinkedObject>(std::move(link), std::string(className), dataModuleSetup));
}

namespace {

class AccessConnector : public ServerConnector {
public:
    explicit AccessConnector(ServerAccess& access, std::string address, std::uint16_t port)
        : access_(access), address_(std::move(address)), port_(port)
    {}

    DispatchPtr connect(std::string_view address, std::uint16_t port, std::string_view className) override
    {
        if (address != address_ || (!access_.embedded() && port != port_))
            throw ServerAccessError("application server " + std::string(address) + ":" + std::to_string(port) +
                                    ": this client is logged in to " + access_.endpoint() + " only");
        return access_.createObjectInOwnSession(className);
    }

private:
    ServerAccess& access_;
    std::string address_;
    std::uint16_t port_;
};

} // namespace

std::shared_ptr<ServerConnector> ServerAccess::connector()
{
    return std::make_shared<AccessConnector>(*this, options_.address, options_.port);
}

void ServerAccess::startEmbedded()
{
    // One embedded server per registry: a second access in the same process shares it.
    try {
        if (!options_.registry->isRegistered(servicesClass))
            startEmbeddedServer(options_.dataFolder, *options_.registry);
    } catch (const std::exception& e) {
        fail("cannot start the embedded server on " + options_.dataFolder.string(), e);
    }
    Variant accepted;
    try {
        accepted = createObject(servicesClass)
                       ->call("Login", {credentials_.user, credentials_.password, credentials_.companyId});
    } catch (const std::exception& e) {
        fail("cannot log in " + describe(credentials_), e);
    }
    if (!accepted.isBoolean() || !accepted.asBoolean())
        throw ServerAccessError("application server " + endpoint_ + " (embedded): refused the login of " +
                                describe(credentials_) + ": unknown user, wrong password or company not allowed");
}

DispatchPtr ServerAccess::wrap(DispatchPtr object) const
{
    return TranscodingDispatch::wrap(std::move(object), options_.dataCodePage);
}

void ServerAccess::fail(const std::string& what, const std::exception& cause) const
{
    accessFailure(endpoint_ + " (embedded)", what, cause);
}

} // namespace orvane
