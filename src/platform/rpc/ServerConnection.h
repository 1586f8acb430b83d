#pragma once
// One client connection on the server: reads frames, answers them in order through
// the dispatcher, and owns the session, so closing the connection releases every
// object the client held. It reads, answers and writes in turn, never reading while
// answers wait to be sent, and answers at most ServerLimits::pendingAnswerBytes
// before sending them: a client that does not read its answers stops being read.
// Logins are checked on the server's login queue while the connection waits; tickets
// are issued to the session's login and redeemed at once (no password to check). A
// connection silent for longer than its timeout is closed. Its handlers run on its
// own strand; close() may be called from any thread.

#include "platform/rpc/Dispatcher.h"
#include "platform/rpc/FrameReader.h"
#include "platform/rpc/LoginQueue.h"
#include "platform/rpc/LoginThrottle.h"
#include "platform/rpc/ServerLimits.h"
#include "platform/rpc/ServerLoad.h"
#include "platform/rpc/Session.h"
#include "platform/rpc/TicketBook.h"

#include <asio.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

using ServerLogger = std::function<void(std::string_view)>;

// What the connections of one server share; the server outlives their handlers.
struct ConnectionContext {
    const Dispatcher& dispatcher;
    const ServerLimits& limits;
    LoginThrottle& throttle;
    LoginQueue& logins;
    TicketBook& tickets;
    std::shared_ptr<ServerLoad> load;
    const ServerLogger& log;
};

class ServerConnection : public std::enable_shared_from_this<ServerConnection> {
public:
    // `socket` must run on a strand of its own; the connection is already admitted
    // to the server's load from `peer`, and leaves it when destroyed.
    ServerConnection(asio::ip::tcp::socket socket, const ConnectionContext& context, std::string peer);
    ~ServerConnection();

    // Starts reading requests; call once.
    void start();
    // Closes the connection and releases the session's objects, after the request
    // being answered, if any.
    void close();

private:
    // Decides the next step: answer what is buffered, send answers, wait, or read.
    void pump();
    void read();
    void onRead(const std::error_code& error, std::size_t received);
    // Answers complete frames into output_ until none is left, a login must be
    // checked, the answers reach the cap, or the connection must close.
    void answerFrames();
    void startLogin(PendingLogin login);
    void finishLogin(const LoginAnswer& answer, const std::string& account);
    // Counts, logs and applies a login's answer (a checked password or a redeemed ticket).
    void recordLogin(const LoginAnswer& answer, const std::string& account);
    // How long the account and this address must still wait before a login is checked.
    std::chrono::milliseconds loginWait(const std::string& account) const;
    void answerTicket(const TicketRequest& request);
    void redeemTicket(const TicketRequest& request);
    void refuse(RpcErrorCode code, const std::string& text);
    void write();
    // Closes after the last answer, letting it reach the client (see the .cpp).
    void linger();
    void discard(std::size_t budget);
    // (Re)starts the timeout: the login timeout while a login is due, else the idle one.
    void armTimer();
    void logWarning(const std::string& text) const;
    void shutdown();

    asio::ip::tcp::socket socket_;
    asio::steady_timer timer_;
    ConnectionContext context_;
    std::string peer_;
    std::uint64_t id_;    // names the session in the ticket book
    std::string account_; // the account the session's login proved
    FrameReader reader_;
    Session session_;
    std::vector<char> input_;
    std::string output_;           // answers not yet handed to the socket
    std::string sending_;          // answers being written
    std::size_t bufferedHeld_ = 0; // reader bytes counted in the server's load
    std::size_t announced_ = 0;    // frames still to come of the calls last announced
    bool reading_ = false;
    bool writing_ = false;
    bool loginPending_ = false;
    bool closing_ = false; // close once output_ is sent
    bool closed_ = false;
};

} // namespace orvane
