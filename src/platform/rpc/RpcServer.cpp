#include "platform/rpc/RpcServer.h"

#include "platform/rpc/RpcError.h"
#include "platform/rpc/ServerConnection.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace orvane {

RpcServer::RpcServer(RpcServerOptions options, const AutomationRegistry& registry)
    : options_(std::move(options)), dispatcher_(registry, options_.limits, options_.authenticate),
      throttle_(options_.server.throttle), tickets_(options_.server.tickets),
      load_(std::make_shared<ServerLoad>(options_.server)), acceptor_(asio::make_strand(io_)),
      retryTimer_(acceptor_.get_executor())
{}

RpcServer::~RpcServer()
{
    stop();
}

void RpcServer::start()
{
    const auto failure = "cannot listen on " + options_.address + ":" + std::to_string(options_.port);
    try {
        const asio::ip::tcp::endpoint endpoint(asio::ip::make_address(options_.address), options_.port);
        acceptor_.open(endpoint.protocol());
        acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true));
        acceptor_.bind(endpoint);
        acceptor_.listen();
        port_ = acceptor_.local_endpoint().port();
    } catch (const std::system_error& error) {
        std::error_code ignored;
        acceptor_.close(ignored);
        throw RpcError(RpcErrorCode::ConnectionFailed, failure + ": " + error.code().message());
    }
    logins_.emplace(options_.server.loginThreads, options_.server.loginQueue);
    work_.emplace(io_.get_executor());
    asio::post(acceptor_.get_executor(), [this] { accept(); });
    const auto threads = std::max<std::size_t>(options_.threads, 1);
    for (std::size_t i = 0; i < threads; ++i)
        pool_.emplace_back([this] { runPool(); });
}

void RpcServer::stop()
{
    std::vector<std::weak_ptr<ServerConnection>> open;
    {
        const std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        stopping_ = true;
        open.swap(connections_);
    }
    asio::post(acceptor_.get_executor(), [this] {
        std::error_code ignored;
        acceptor_.close(ignored);
        retryTimer_.cancel();
    });
    for (const auto& connection : open)
        if (const auto live = connection.lock())
            live->close();
    if (logins_)
        logins_->stop();
    work_.reset();
    for (auto& thread : pool_)
        thread.join();
    pool_.clear();
}

bool RpcServer::admit(asio::ip::tcp::socket& socket, const std::string& peer)
{
    const auto refusal = load_->admit(peer);
    if (!refusal)
        return true;
    logRefusal("refused a connection from " + peer + ": " + *refusal);
    // The frame is small enough for the empty send buffer of a new socket.
    wire::Buffer out;
    wire::packError(out, std::nullopt, RpcErrorCode::LimitExceeded, "the server refused the connection: " + *refusal);
    std::error_code ignored;
    socket.non_blocking(true, ignored);
    socket.send(asio::buffer(out.data(), out.size()), 0, ignored);
    socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
    return false;
}

void RpcServer::logRefusal(const std::string& text)
{
    const auto now = std::chrono::steady_clock::now();
    if (!options_.log || now - lastRefusalLogged_ < std::chrono::seconds(1)) {
        ++refusalsNotLogged_;
        return;
    }
    const auto skipped = std::exchange(refusalsNotLogged_, 0);
    options_.log(skipped == 0 ? text
                              : text + " (and " + std::to_string(skipped) + " more refused since the last line)");
    lastRefusalLogged_ = now;
}

void RpcServer::runPool()
{
    // A handler that throws ends only its own connection; the pool thread carries on.
    for (;;) {
        try {
            io_.run();
            return;
        } catch (const std::exception&) {
        }
    }
}

void RpcServer::accept()
{
    acceptor_.async_accept(asio::make_strand(io_), [this](const std::error_code& error, asio::ip::tcp::socket socket) {
        onAccept(error, std::move(socket));
    });
}

void RpcServer::onAccept(const std::error_code& error, asio::ip::tcp::socket socket)
{
    if (error == asio::error::operation_aborted || !acceptor_.is_open())
        return;
    if (error) {
        // Out of descriptors and the like: wait a little instead of spinning.
        retryTimer_.expires_after(std::chrono::milliseconds(100));
        retryTimer_.async_wait([this](const std::error_code& waitError) {
            if (!waitError)
                accept();
        });
        return;
    }
    std::error_code unknown;
    const auto remote = socket.remote_endpoint(unknown);
    const std::string peer = unknown ? "an unknown address" : remote.address().to_string();
    if (!admit(socket, peer)) {
        accept();
        return;
    }
    const ConnectionContext context{dispatcher_, options_.server, throttle_, *logins_, tickets_, load_, options_.log};
    auto connection = std::make_shared<ServerConnection>(std::move(socket), context, peer);
    {
        const std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        std::erase_if(connections_, [](const auto& known) { return known.expired(); });
        connections_.push_back(connection);
    }
    connection->start();
    accept();
}

} // namespace orvane
