#pragma once
// One client connection on the server: reads frames, answers them in order through
// the dispatcher, and owns the session, so closing the connection releases every
// object the client held. Its handlers run on its own strand; close() may be
// called from any thread.

#include "platform/rpc/Dispatcher.h"
#include "platform/rpc/FrameReader.h"
#include "platform/rpc/Session.h"

#include <asio.hpp>

#include <memory>
#include <string>
#include <vector>

namespace orvane {

class ServerConnection : public std::enable_shared_from_this<ServerConnection> {
public:
    // `socket` must run on a strand of its own.
    ServerConnection(asio::ip::tcp::socket socket, const Dispatcher& dispatcher);

    // Starts reading requests; call once.
    void start();
    // Closes the connection and releases the session's objects, after the request
    // being answered, if any.
    void close();

private:
    void read();
    void onRead(const std::error_code& error, std::size_t received);
    // Answers every complete frame received so far into output_.
    void answerFrames();
    void write();
    void shutdown();

    asio::ip::tcp::socket socket_;
    const Dispatcher& dispatcher_;
    FrameReader reader_;
    Session session_;
    std::vector<char> input_;
    std::string output_;
    bool closing_ = false; // close once output_ is sent
};

} // namespace orvane
