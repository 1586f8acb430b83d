#include "platform/rpc/RpcConnection.h"

#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcError.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <optional>

namespace orvane {

namespace {

constexpr std::size_t readChunk = 64 * 1024;

std::string endpointText(const std::string& host, std::uint16_t port)
{
    const auto shown = host.find(':') == std::string::npos ? host : "[" + host + "]";
    return shown + ":" + std::to_string(port);
}

} // namespace

// Marks the connection busy for one call; releases requested meanwhile are sent after it.
class RpcConnection::CallScope {
public:
    explicit CallScope(RpcConnection& connection) : connection_(connection)
    {
        if (!connection_.isOpen())
            throw RpcError(RpcErrorCode::ConnectionFailed, "connection to " + connection_.endpoint_ + " is closed");
        if (connection_.busy_)
            throw RpcError(RpcErrorCode::CallRejected,
                           "a call to " + connection_.endpoint_ + " is already waiting for its answer");
        connection_.busy_ = true;
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;
    ~CallScope()
    {
        connection_.busy_ = false;
        connection_.flushReleases();
    }

private:
    RpcConnection& connection_;
};

std::shared_ptr<RpcConnection> RpcConnection::connect(const std::string& host, std::uint16_t port,
                                                      RpcClientOptions options)
{
    std::shared_ptr<RpcConnection> connection(new RpcConnection(endpointText(host, port), std::move(options)));
    connection->open(host, port);
    return connection;
}

RpcConnection::RpcConnection(std::string endpoint, RpcClientOptions options)
    : endpoint_(std::move(endpoint)), options_(std::move(options)), socket_(io_), reader_(options_.limits),
      input_(readChunk)
{}

RpcConnection::~RpcConnection()
{
    close();
}

void RpcConnection::open(const std::string& host, std::uint16_t port)
{
    const auto failure = "cannot connect to " + endpoint_;
    if (host.empty())
        throw RpcError(RpcErrorCode::ConnectionFailed, failure + ": no server address given");
    asio::ip::tcp::resolver resolver(io_);
    std::error_code error;
    const auto endpoints = resolver.resolve(host, std::to_string(port), error);
    if (error)
        throw RpcError(RpcErrorCode::ConnectionFailed, failure + ": " + error.message());
    runIo(
        [&](Completion done) {
            asio::async_connect(socket_, endpoints,
                                [done](const std::error_code& ec, const asio::ip::tcp::endpoint&) { done(ec); });
        },
        options_.connectTimeout, failure);
    socket_.set_option(asio::ip::tcp::no_delay(true), error);
    keepProbing();
}

void RpcConnection::keepProbing()
{
    // A call waits for its answer without a limit by default; when the network is cut (no
    // reset ever arrives) these probes end the wait after about a minute instead of hours.
    const int on = 1;
    const int idleSeconds = 30;
    const int intervalSeconds = 10;
    const int probes = 3;
    const int socket = socket_.native_handle();
    ::setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds);
    ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds, sizeof intervalSeconds);
    ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
}

bool RpcConnection::peerClosed()
{
    if (!isOpen())
        return true;
    pollfd probe{socket_.native_handle(), POLLIN | POLLRDHUP, 0};
    return ::poll(&probe, 1, 0) > 0 && (probe.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void RpcConnection::close()
{
    std::error_code ignored;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
    pendingReleases_.clear();
}

void RpcConnection::runIo(const std::function<void(Completion)>& start, std::chrono::milliseconds timeout,
                          const std::string& failure)
{
    std::optional<std::error_code> outcome;
    start([&outcome](const std::error_code& ec) { outcome = ec; });
    io_.restart();
    if (timeout.count() > 0)
        io_.run_for(timeout);
    else
        io_.run();
    if (!outcome) {
        close();
        io_.restart();
        io_.run(); // completes the aborted operation, which refers to this frame
        throw RpcError(RpcErrorCode::ConnectionFailed,
                       failure + ": no answer within " + std::to_string(timeout.count()) + " ms");
    }
    if (*outcome) {
        close();
        throw RpcError(RpcErrorCode::ConnectionFailed, failure + ": " + outcome->message());
    }
}

std::string_view RpcConnection::readFrame()
{
    for (;;) {
        try {
            if (const auto frame = reader_.next())
                return *frame;
        } catch (const RpcError& error) {
            close();
            throw RpcError(RpcErrorCode::MalformedFrame, "malformed answer from " + endpoint_ + ": " + error.what());
        }
        std::size_t received = 0;
        runIo(
            [&](Completion done) {
                socket_.async_read_some(asio::buffer(input_),
                                        [&received, done](const std::error_code& ec, std::size_t n) {
                                            received = n;
                                            done(ec);
                                        });
            },
            options_.callTimeout, "connection to " + endpoint_ + " lost");
        reader_.append(std::string_view(input_.data(), received));
    }
}

template <typename Decode>
auto RpcConnection::decodeReply(Decode&& decode)
{
    try {
        return decode();
    } catch (const RpcError& error) {
        if (error.code() != RpcErrorCode::MalformedFrame)
            throw;
        close();
        throw RpcError(RpcErrorCode::MalformedFrame, "malformed answer from " + endpoint_ + ": " + error.what());
    }
}

RpcConnection::Reply RpcConnection::exchange(std::uint32_t id, const wire::Buffer& request)
{
    checkFrameSize(request.size());
    send(request);
    Reply reply = receive(id);
    if (reply.error)
        raiseRemote(*reply.error);
    return reply;
}

void RpcConnection::checkFrameSize(std::size_t bytes) const
{
    if (bytes > options_.limits.maxFrameBytes)
        throw RpcError(RpcErrorCode::InvalidArguments, "request of " + std::to_string(bytes) +
                                                           " bytes exceeds the frame limit of " +
                                                           std::to_string(options_.limits.maxFrameBytes) + " bytes");
}

void RpcConnection::send(const wire::Buffer& requests)
{
    runIo(
        [&](Completion done) {
            asio::async_write(socket_, asio::buffer(requests.data(), requests.size()),
                              [done](const std::error_code& ec, std::size_t) { done(ec); });
        },
        options_.callTimeout, "connection to " + endpoint_ + " lost");
}

RpcConnection::Reply RpcConnection::receive(std::uint32_t id)
{
    Reply reply;
    auto response = decodeReply([&] {
        reply.frame = wire::unpackWhole(readFrame(), options_.limits, "answer");
        return wire::parseResponse(reply.frame.get());
    });
    if (!response.id) {
        close();
        throw RpcError(response.error->code(), "server at " + endpoint_ + " closed the connection: " +
                                                   options_.text.decode(response.error->what()));
    }
    if (*response.id != id) {
        close();
        throw RpcError(RpcErrorCode::MalformedFrame, "server at " + endpoint_ + " answered request " +
                                                         std::to_string(*response.id) + " instead of " +
                                                         std::to_string(id));
    }
    reply.error = std::move(response.error);
    reply.result = response.result;
    return reply;
}

void RpcConnection::raiseRemote(const RpcError& error)
{
    const auto text = options_.text.decode(error.what());
    if (error.code() == RpcErrorCode::CallRejected || error.code() == RpcErrorCode::UnknownClass)
        throw DispatchError(text);
    throw RpcError(error.code(), text);
}

std::shared_ptr<RemoteDispatch> RpcConnection::createObject(std::string_view className)
{
    CallScope scope(*this);
    wire::Buffer request;
    const auto id = nextId();
    wire::packRequestHead(request, id, "create", 1);
    codec().encodeText(request, className);
    const auto reply = exchange(id, request);
    const auto handle = decodeReply([&] {
        const auto& result = *reply.result;
        if (result.type != msgpack::type::POSITIVE_INTEGER || result.via.u64 == VariantCodec::invalidHandle)
            throw RpcError(RpcErrorCode::MalformedFrame, "'create' must answer a positive object handle");
        return result.via.u64;
    });
    return proxyFor(handle, std::string(className));
}

void RpcConnection::packInvoke(wire::Buffer& request, std::uint32_t id, std::uint64_t handle, std::string_view name,
                               std::span<const Variant> args)
{
    auto codec = this->codec();
    wire::packRequestHead(request, id, "invoke", 3);
    wire::Packer packer(request);
    packer.pack_uint64(handle);
    codec.encodeText(request, name);
    packer.pack_array(static_cast<std::uint32_t>(args.size()));
    for (const auto& arg : args)
        codec.encode(request, arg);
}

Variant RpcConnection::takeInvokeAnswer(const Reply& reply, std::span<Variant> args)
{
    auto codec = this->codec();
    // Everything is decoded before any argument is written, so a bad answer changes nothing.
    auto [value, after] = decodeReply([&] {
        const auto& result = *reply.result;
        if (result.type != msgpack::type::ARRAY || result.via.array.size != 2)
            throw RpcError(RpcErrorCode::MalformedFrame, "'invoke' must answer [value, args]");
        const auto& returned = result.via.array.ptr[1];
        if (returned.type != msgpack::type::ARRAY || returned.via.array.size != args.size())
            throw RpcError(RpcErrorCode::MalformedFrame,
                           "'invoke' must give back the " + std::to_string(args.size()) + " arguments it was sent");
        std::vector<Variant> written;
        written.reserve(args.size());
        for (const auto& item : std::span(returned.via.array.ptr, returned.via.array.size))
            written.push_back(codec.decode(item));
        return std::pair(codec.decode(result.via.array.ptr[0]), std::move(written));
    });
    std::move(after.begin(), after.end(), args.begin());
    return std::move(value);
}

Variant RpcConnection::invoke(std::uint64_t handle, std::string_view name, std::span<Variant> args)
{
    CallScope scope(*this);
    wire::Buffer request;
    const auto id = nextId();
    packInvoke(request, id, handle, name, args);
    return takeInvokeAnswer(exchange(id, request), args);
}

void RpcConnection::invokeAll(std::uint64_t handle, std::span<Invocation> calls)
{
    if (calls.empty())
        return;
    CallScope scope(*this);
    wire::Buffer requests;
    const auto first = nextId();
    for (std::size_t i = 1; i < calls.size(); ++i)
        nextId();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const std::size_t start = requests.size();
        packInvoke(requests, first + static_cast<std::uint32_t>(i), handle, calls[i].name, calls[i].args);
        checkFrameSize(requests.size() - start);
    }
    send(requests);
    // The answers come in the order of the requests; each is read even when an earlier call
    // failed, so the connection stays in step.
    for (std::size_t i = 0; i < calls.size(); ++i) {
        Invocation& call = calls[i];
        const Reply reply = receive(first + static_cast<std::uint32_t>(i));
        try {
            if (reply.error)
                raiseRemote(*reply.error);
            call.result = takeInvokeAnswer(reply, call.args);
        } catch (const DispatchError&) {
            call.error = std::current_exception();
        } catch (const RpcError& error) {
            if (!isOpen())
                throw;
            call.error = std::current_exception();
        }
    }
}

Variant RpcConnection::login(std::vector<Variant> credentials)
{
    CallScope scope(*this);
    auto codec = this->codec();
    wire::Buffer request;
    const auto id = nextId();
    wire::packRequestHead(request, id, "login", 1);
    codec.encode(request, Variant::arrayOf(std::move(credentials)));
    const auto reply = exchange(id, request);
    return decodeReply([&] { return codec.decode(*reply.result); });
}

std::string RpcConnection::requestTicket()
{
    CallScope scope(*this);
    wire::Buffer request;
    const auto id = nextId();
    wire::packRequestHead(request, id, "ticket", 0);
    const auto reply = exchange(id, request);
    return decodeReply([&] {
        if (reply.result->type != msgpack::type::STR)
            throw RpcError(RpcErrorCode::MalformedFrame, "'ticket' must answer a string");
        return std::string(reply.result->via.str.ptr, reply.result->via.str.size);
    });
}

Variant RpcConnection::redeemTicket(std::string_view account, std::string_view ticket)
{
    CallScope scope(*this);
    auto codec = this->codec();
    wire::Buffer request;
    const auto id = nextId();
    wire::packRequestHead(request, id, "redeem", 2);
    codec.encodeText(request, account);
    codec.encodeText(request, ticket);
    const auto reply = exchange(id, request);
    return decodeReply([&] { return codec.decode(*reply.result); });
}

Variant RpcConnection::get(std::uint64_t handle, std::string_view name)
{
    CallScope scope(*this);
    auto codec = this->codec();
    wire::Buffer request;
    const auto id = nextId();
    wire::packRequestHead(request, id, "get", 2);
    wire::Packer(request).pack_uint64(handle);
    codec.encodeText(request, name);
    const auto reply = exchange(id, request);
    return decodeReply([&] { return codec.decode(*reply.result); });
}

void RpcConnection::put(std::uint64_t handle, std::string_view name, const Variant& value)
{
    CallScope scope(*this);
    auto codec = this->codec();
    wire::Buffer request;
    const auto id = nextId();
    wire::packRequestHead(request, id, "put", 3);
    wire::Packer(request).pack_uint64(handle);
    codec.encodeText(request, name);
    codec.encode(request, value);
    exchange(id, request);
}

void RpcConnection::release(std::uint64_t handle) noexcept
{
    const auto proxy = proxies_.find(handle);
    if (proxy != proxies_.end() && proxy->second.expired())
        proxies_.erase(proxy);
    if (!isOpen())
        return;
    pendingReleases_.push_back(handle);
    flushReleases();
}

void RpcConnection::flushReleases() noexcept
{
    if (busy_ || flushing_)
        return;
    flushing_ = true;
    while (!pendingReleases_.empty() && isOpen()) {
        const auto handle = pendingReleases_.back();
        pendingReleases_.pop_back();
        busy_ = true;
        try {
            wire::Buffer request;
            const auto id = nextId();
            wire::packRequestHead(request, id, "release", 1);
            wire::Packer(request).pack_uint64(handle);
            exchange(id, request);
        } catch (const std::exception&) {
            // The object is gone for the client either way; a lost connection frees it on the server.
        }
        busy_ = false;
    }
    pendingReleases_.clear();
    flushing_ = false;
}

std::uint64_t RpcConnection::handleFor(const DispatchPtr& object)
{
    const auto* remote = dynamic_cast<const RemoteDispatch*>(object.get());
    if (!remote || &remote->connection() != this)
        throw RpcError(RpcErrorCode::InvalidArguments, "the object '" + object->className() +
                                                           "' does not live on the server at " + endpoint_ +
                                                           " and cannot be passed to it");
    return remote->handle();
}

DispatchPtr RpcConnection::objectFor(std::uint64_t handle)
{
    return proxyFor(handle, "remote object " + std::to_string(handle));
}

std::shared_ptr<RemoteDispatch> RpcConnection::proxyFor(std::uint64_t handle, std::string className)
{
    auto& slot = proxies_[handle];
    if (auto existing = slot.lock())
        return existing;
    // A proxy released earlier in this call would release the handle the new one now holds.
    std::erase(pendingReleases_, handle);
    auto proxy = std::make_shared<RemoteDispatch>(shared_from_this(), handle, std::move(className));
    slot = proxy;
    return proxy;
}

} // namespace orvane
