#pragma once
// The client end of a connection to the application server: blocking, synchronous
// calls, one at a time, as the client is single-threaded by design. Objects the
// server hands out become RemoteDispatch objects bound to this connection; they
// keep it open. Client thread only.

#include "platform/rpc/FrameReader.h"
#include "platform/rpc/RpcLimits.h"
#include "platform/rpc/TextCodec.h"
#include "platform/rpc/VariantCodec.h"
#include "platform/rpc/Wire.h"
#include "platform/variant/Dispatch.h"

#include <asio.hpp>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvane {

class RemoteDispatch;

struct RpcClientOptions {
    std::chrono::milliseconds connectTimeout{10000};
    // Longest wait for an answer; zero waits as long as the server works.
    std::chrono::milliseconds callTimeout{0};
    RpcLimits limits;
    // Client code page <-> UTF-8; identity by default.
    TextCodec text;
};

class RpcConnection : public std::enable_shared_from_this<RpcConnection>, private HandleMapper {
public:
    // Connects; raises RpcError(ConnectionFailed) with a text such as
    // "cannot connect to 10.0.0.5:211: Connection refused".
    static std::shared_ptr<RpcConnection> connect(const std::string& host, std::uint16_t port,
                                                  RpcClientOptions options = {});
    RpcConnection(const RpcConnection&) = delete;
    RpcConnection& operator=(const RpcConnection&) = delete;
    ~RpcConnection();

    // Proves who this session works for; answers the server's reply. Refused
    // credentials raise the server's error.
    Variant login(std::vector<Variant> credentials);
    // A single-use ticket, good for a few seconds, with which a second connection logs
    // in as this (logged-in) session does: see redeemTicket.
    std::string requestTicket();
    // Logs in with a ticket another connection of `account` was given; a used, expired
    // or foreign ticket raises the server's refusal.
    Variant redeemTicket(std::string_view account, std::string_view ticket);
    // Creates a server object by class name; an unknown class raises DispatchError.
    std::shared_ptr<RemoteDispatch> createObject(std::string_view className);
    bool isOpen() const { return socket_.is_open(); }
    // True when the server has closed its end (restarted, timed out): a request sent now
    // would never be answered. Does not wait.
    bool peerClosed();
    // Closes the connection; the server releases every object of the session.
    void close();
    // "host:port", as shown in error texts.
    const std::string& endpoint() const { return endpoint_; }

    // The calls of RemoteDispatch. Errors the server's objects raise come back as
    // DispatchError (the object refused the call) or RpcError (anything else).
    Variant invoke(std::uint64_t handle, std::string_view name, std::span<Variant> args);
    // The calls sent together, then their answers read in order: one round trip. A call the
    // server refuses keeps its error and the others still get their answers; a lost or
    // malformed connection raises.
    void invokeAll(std::uint64_t handle, std::span<Invocation> calls);
    Variant get(std::uint64_t handle, std::string_view name);
    void put(std::uint64_t handle, std::string_view name, const Variant& value);
    // Releases a server object; failures are ignored (the session ends with the connection anyway).
    void release(std::uint64_t handle) noexcept;

private:
    class CallScope;
    using Completion = std::function<void(const std::error_code&)>;

    RpcConnection(std::string endpoint, RpcClientOptions options);

    std::uint64_t handleFor(const DispatchPtr& object) override;
    DispatchPtr objectFor(std::uint64_t handle) override;
    std::shared_ptr<RemoteDispatch> proxyFor(std::uint64_t handle, std::string className);

    void open(const std::string& host, std::uint16_t port);
    // Turns on TCP keep-alive probes, so that a cut network ends a waiting call.
    void keepProbing();
    VariantCodec codec() { return VariantCodec(*this, options_.limits, options_.text); }
    std::uint32_t nextId() { return nextId_++; }
    // An answer frame; the handle keeps `result` alive. error is set when the server refused.
    struct Reply {
        msgpack::object_handle frame;
        const msgpack::object* result = nullptr;
        std::optional<RpcError> error;
    };
    // Sends a request and waits for its answer; a refusal raises.
    Reply exchange(std::uint32_t id, const wire::Buffer& request);
    void send(const wire::Buffer& requests);
    // The next answer, which must be the one of request id; a refusal is returned, not raised.
    Reply receive(std::uint32_t id);
    // Refuses a request frame larger than the limit, before anything is sent.
    void checkFrameSize(std::size_t bytes) const;
    // Appends the frame of an "invoke" request.
    void packInvoke(wire::Buffer& request, std::uint32_t id, std::uint64_t handle, std::string_view name,
                    std::span<const Variant> args);
    // The value of an "invoke" answer; the arguments the server gives back go into args.
    Variant takeInvokeAnswer(const Reply& reply, std::span<Variant> args);
    // The next frame from the server; valid until the next read.
    std::string_view readFrame();
    [[noreturn]] void raiseRemote(const RpcError& error);
    // Runs the asynchronous operation `start` begins, within `timeout` (zero: no limit);
    // on failure closes the connection and raises "<failure>: <reason>".
    void runIo(const std::function<void(Completion)>& start, std::chrono::milliseconds timeout,
               const std::string& failure);
    // Decodes a reply with `decode`; a malformed reply closes the connection.
    template <typename Decode>
    auto decodeReply(Decode&& decode);
    // Sends the releases requested while a call was running.
    void flushReleases() noexcept;

    std::string endpoint_;
    RpcClientOptions options_;
    asio::io_context io_;
    asio::ip::tcp::socket socket_;
    FrameReader reader_;
    std::vector<char> input_;
    std::uint32_t nextId_ = 1;
    bool busy_ = false;                          // a call is waiting for its answer
    bool flushing_ = false;                      // pending releases are being sent
    std::vector<std::uint64_t> pendingReleases_; // released during a call, sent after it
    std::unordered_map<std::uint64_t, std::weak_ptr<RemoteDispatch>> proxies_;
};

} // namespace orvane
