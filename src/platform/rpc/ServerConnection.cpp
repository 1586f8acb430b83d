#include "platform/rpc/ServerConnection.h"

#include "platform/rpc/RpcError.h"

namespace orvane {

namespace {

constexpr std::size_t readChunk = 64 * 1024;

} // namespace

ServerConnection::ServerConnection(asio::ip::tcp::socket socket, const Dispatcher& dispatcher)
    : socket_(std::move(socket)), dispatcher_(dispatcher), reader_(dispatcher.limits()), input_(readChunk)
{}

void ServerConnection::start()
{
    std::error_code ignored;
    socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
    asio::dispatch(socket_.get_executor(), [self = shared_from_this()] { self->read(); });
}

void ServerConnection::close()
{
    asio::post(socket_.get_executor(), [self = shared_from_this()] { self->shutdown(); });
}

void ServerConnection::read()
{
    socket_.async_read_some(asio::buffer(input_),
                            [self = shared_from_this()](const std::error_code& error, std::size_t received) {
                                self->onRead(error, received);
                            });
}

void ServerConnection::onRead(const std::error_code& error, std::size_t received)
{
    if (error) {
        shutdown();
        return;
    }
    try {
        reader_.append(std::string_view(input_.data(), received));
        answerFrames();
    } catch (const std::exception& failure) {
        // Out of memory or the like: give up on this connection, not on the server.
        wire::Buffer out;
        wire::packError(out, std::nullopt, RpcErrorCode::CallFailed, failure.what());
        output_.assign(out.data(), out.size());
        closing_ = true;
    }
    if (output_.empty())
        read();
    else
        write();
}

void ServerConnection::answerFrames()
{
    try {
        while (const auto frame = reader_.next()) {
            const auto result = dispatcher_.dispatch(session_, *frame);
            output_ += result.response;
            if (result.closeConnection) {
                closing_ = true;
                return;
            }
        }
    } catch (const RpcError& error) {
        wire::Buffer out;
        wire::packError(out, std::nullopt, error.code(), error.what());
        output_.append(out.data(), out.size());
        closing_ = true;
    }
}

void ServerConnection::write()
{
    asio::async_write(socket_, asio::buffer(output_),
                      [self = shared_from_this()](const std::error_code& error, std::size_t) {
                          self->output_.clear();
                          if (error || self->closing_)
                              self->shutdown();
                          else
                              self->read();
                      });
}

void ServerConnection::shutdown()
{
    std::error_code ignored;
    if (socket_.is_open()) {
        socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
        socket_.close(ignored);
    }
    session_.clear();
}

} // namespace orvane
