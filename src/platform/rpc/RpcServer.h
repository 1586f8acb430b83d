#pragma once
// The TCP server of the protocol: accepts connections, gives each its session, and
// answers requests on a small thread pool (each connection's requests in order,
// different connections in parallel). Logins are checked on a login queue of their
// own and slowed down after failures; connections beyond the limits are refused and
// logged. start() and stop() are called from one controlling thread; the objects
// served must be safe to use from pool threads.

#include "platform/rpc/Dispatcher.h"
#include "platform/rpc/LoginQueue.h"
#include "platform/rpc/LoginThrottle.h"
#include "platform/rpc/RpcLimits.h"
#include "platform/rpc/ServerConnection.h"
#include "platform/rpc/ServerLimits.h"
#include "platform/rpc/ServerLoad.h"
#include "platform/rpc/TicketBook.h"

#include <asio.hpp>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvane {

struct RpcServerOptions {
    std::string address = "0.0.0.0";
    std::uint16_t port = 211; // 0 picks a free port (see RpcServer::port)
    std::size_t threads = 4;
    RpcLimits limits;
    // Checks "login" requests; none: logins are refused and sessions need none.
    Authenticator authenticate;
    ServerLimits server;
    // Receives a line for each refused connection, failed login and timeout; may be empty.
    ServerLogger log;
};

class RpcServer {
public:
    explicit RpcServer(RpcServerOptions options = {},
                       const AutomationRegistry& registry = AutomationRegistry::instance());
    RpcServer(const RpcServer&) = delete;
    RpcServer& operator=(const RpcServer&) = delete;
    ~RpcServer();

    // Binds, listens and starts the pool; raises RpcError(ConnectionFailed) with a
    // text such as "cannot listen on 0.0.0.0:211: Address already in use".
    void start();
    // Stops accepting, closes every connection and releases their objects; waits for
    // the requests being answered. The server cannot be started again.
    void stop();
    // The port listened on, once started.
    std::uint16_t port() const { return port_; }
    // Bytes of unfinished requests the connections hold together.
    std::size_t bufferedBytes() const { return load_->buffered(); }

private:
    using Work = asio::executor_work_guard<asio::io_context::executor_type>;

    void accept();
    void onAccept(const std::error_code& error, asio::ip::tcp::socket socket);
    // Admits a new connection, or refuses it with a last error frame and a log line.
    bool admit(asio::ip::tcp::socket& socket, const std::string& peer);
    // Logs a refused connection, at most one line a second, so that a flood cannot fill the disk.
    void logRefusal(const std::string& text);
    void runPool();

    RpcServerOptions options_;
    Dispatcher dispatcher_;
    LoginThrottle throttle_;
    TicketBook tickets_;
    std::shared_ptr<ServerLoad> load_;
    std::optional<LoginQueue> logins_;
    asio::io_context io_;
    asio::ip::tcp::acceptor acceptor_;
    asio::steady_timer retryTimer_; // pause before accepting again after a failure
    // On the acceptor's strand: when a refusal was last logged, and how many were not since.
    std::chrono::steady_clock::time_point lastRefusalLogged_;
    std::size_t refusalsNotLogged_ = 0;
    std::optional<Work> work_;
    std::vector<std::thread> pool_;
    std::uint16_t port_ = 0;

    std::mutex mutex_; // guards the members below
    std::vector<std::weak_ptr<ServerConnection>> connections_;
    bool stopping_ = false;
};

} // namespace orvane
