#include "platform/rpc/ServerConnection.h"

#include "platform/rpc/RpcError.h"

#include <atomic>

#include <algorithm>

namespace orvane {

namespace {

constexpr std::size_t readChunk = 64 * 1024;
// After its last error frame a connection drops at most this much of what the client
// still sends, for at most this long, before it closes.
constexpr std::size_t lingerBytes = std::size_t{1} << 20;
constexpr std::chrono::milliseconds lingerTime{1000};
// Most calls announced together to their object (Dispatcher::announceCalls): a client's batch
// of lookups is a handful.
constexpr std::size_t announcedMost = 32;

RpcLimits guestLimits(const RpcLimits& limits, const ServerLimits& server)
{
    RpcLimits guest = limits;
    guest.maxFrameBytes = std::min(limits.maxFrameBytes, server.guestFrameBytes);
    return guest;
}

SessionLimits sessionLimits(const ServerLimits& server, bool loginRequired)
{
    return SessionLimits{loginRequired, server.guestObjects, server.sessionObjects};
}

// A name the client chose, made safe to write in one log line.
std::string printable(std::string_view text)
{
    std::string out;
    for (const char c : text.substr(0, 64))
        out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
    return text.size() > 64 ? out + "..." : out;
}

std::uint64_t nextConnectionId()
{
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

std::string answerOf(std::uint32_t id, std::string_view text)
{
    wire::Buffer out;
    wire::packResultHead(out, id);
    wire::Packer packer(out);
    packer.pack_str(static_cast<std::uint32_t>(text.size()));
    packer.pack_str_body(text.data(), static_cast<std::uint32_t>(text.size()));
    return std::string(out.data(), out.size());
}

std::string tooManyFailures(std::uint32_t id, std::chrono::milliseconds wait)
{
    const auto seconds = (wait.count() + 999) / 1000;
    return Dispatcher::refusal(id, RpcErrorCode::LimitExceeded,
                               "too many failed logins; try again in " + std::to_string(seconds) + " s");
}

std::string acceptedOf(std::uint32_t id)
{
    wire::Buffer out;
    wire::packResultHead(out, id);
    wire::Packer(out).pack_true();
    return std::string(out.data(), out.size());
}

} // namespace

ServerConnection::ServerConnection(asio::ip::tcp::socket socket, const ConnectionContext& context, std::string peer)
    : socket_(std::move(socket)), timer_(socket_.get_executor()), context_(context), peer_(std::move(peer)),
      id_(nextConnectionId()),
      reader_(context.dispatcher.takesLogins() ? guestLimits(context.dispatcher.limits(), context.limits)
                                               : context.dispatcher.limits()),
      session_(sessionLimits(context.limits, context.dispatcher.takesLogins())), input_(readChunk)
{}

ServerConnection::~ServerConnection()
{
    context_.load->hold(bufferedHeld_, 0);
    context_.load->leave(peer_);
}

void ServerConnection::start()
{
    std::error_code ignored;
    socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
    asio::dispatch(socket_.get_executor(), [self = shared_from_this()] {
        self->armTimer();
        self->pump();
    });
}

void ServerConnection::close()
{
    asio::post(socket_.get_executor(), [self = shared_from_this()] { self->shutdown(); });
}

void ServerConnection::pump()
{
    if (closed_ || reading_ || writing_)
        return;
    answerFrames();
    if (!output_.empty())
        write();
    else if (closing_)
        linger();
    else if (!loginPending_)
        read();
}

void ServerConnection::read()
{
    reading_ = true;
    socket_.async_read_some(asio::buffer(input_),
                            [self = shared_from_this()](const std::error_code& error, std::size_t received) {
                                self->onRead(error, received);
                            });
}

void ServerConnection::onRead(const std::error_code& error, std::size_t received)
{
    reading_ = false;
    if (error || closed_) {
        shutdown();
        return;
    }
    armTimer();
    try {
        reader_.append(std::string_view(input_.data(), received));
        if (!context_.load->hold(bufferedHeld_, reader_.buffered())) {
            logWarning("closed the connection from " + peer_ + ": the server holds too many unfinished requests");
            refuse(RpcErrorCode::LimitExceeded, "the server holds too many unfinished requests; try again later");
        }
    } catch (const std::exception& failure) {
        // Out of memory or the like: give up on this connection, not on the server.
        refuse(RpcErrorCode::CallFailed, failure.what());
    }
    pump();
}

void ServerConnection::answerFrames()
{
    try {
        while (!closing_ && !loginPending_ && output_.size() < context_.limits.pendingAnswerBytes) {
            const auto frame = reader_.next();
            if (!frame)
                break;
            if (announced_ > 0)
                --announced_;
            else
                announced_ = context_.dispatcher.announceCalls(session_, *frame, reader_.following(announcedMost)) - 1;
            auto result = context_.dispatcher.dispatch(session_, *frame);
            if (result.login)
                startLogin(std::move(*result.login));
            else if (result.ticket)
                answerTicket(*result.ticket);
            output_ += result.response;
            closing_ = result.closeConnection;
        }
        context_.load->hold(bufferedHeld_, reader_.buffered());
    } catch (const RpcError& error) {
        refuse(error.code(), error.what());
    } catch (const std::exception& error) {
        refuse(RpcErrorCode::CallFailed, error.what());
    }
}

std::chrono::milliseconds ServerConnection::loginWait(const std::string& account) const
{
    return std::max(context_.throttle.wait("account " + account), context_.throttle.wait("address " + peer_));
}

void ServerConnection::startLogin(PendingLogin login)
{
    const auto wait = loginWait(login.account);
    if (wait.count() > 0) {
        output_ += tooManyFailures(login.id, wait);
        return;
    }
    loginPending_ = true;
    const auto id = login.id;
    const bool queued = context_.logins.submit([self = shared_from_this(), login = std::move(login)] {
        auto answer = self->context_.dispatcher.checkLogin(self->session_, login);
        asio::post(self->socket_.get_executor(),
                   [self, answer = std::move(answer), account = login.account] { self->finishLogin(answer, account); });
    });
    if (!queued) {
        loginPending_ = false;
        output_ += Dispatcher::refusal(id, RpcErrorCode::LimitExceeded,
                                       "the server is busy checking other logins; try again in a moment");
    }
}

void ServerConnection::finishLogin(const LoginAnswer& answer, const std::string& account)
{
    loginPending_ = false;
    if (closed_)
        return;
    recordLogin(answer, account);
    pump();
}

void ServerConnection::recordLogin(const LoginAnswer& answer, const std::string& account)
{
    output_ += answer.response;
    if (answer.accepted) {
        context_.throttle.succeeded("account " + account);
        account_ = account;
        reader_.setLimits(context_.dispatcher.limits());
        armTimer();
    } else if (answer.checkFailed) {
        logWarning("could not check the login of '" + printable(account) + "' from " + peer_ + ": " +
                   printable(answer.refusal));
    } else {
        context_.throttle.failed("account " + account);
        context_.throttle.failed("address " + peer_);
        logWarning("failed login of '" + printable(account) + "' from " + peer_ + ": " + printable(answer.refusal));
    }
}

void ServerConnection::answerTicket(const TicketRequest& request)
{
    if (!request.issue) {
        redeemTicket(request);
        return;
    }
    const auto identity = session_.identity();
    if (!identity) {
        output_ += Dispatcher::refusal(request.id, RpcErrorCode::CallRejected, "log in before asking for a ticket");
        return;
    }
    output_ += answerOf(request.id, context_.tickets.issue(id_, account_, *identity));
}

void ServerConnection::redeemTicket(const TicketRequest& request)
{
    const auto wait = loginWait(request.account);
    if (wait.count() > 0) {
        output_ += tooManyFailures(request.id, wait);
        return;
    }
    auto identity = context_.tickets.redeem(request.account, request.ticket);
    if (!identity) {
        // One text for every refusal, as for passwords; the ticket itself is never logged.
        const std::string reason = "login refused: unknown, used or expired ticket";
        recordLogin({Dispatcher::refusal(request.id, RpcErrorCode::CallFailed, reason), false, reason},
                    request.account);
        return;
    }
    session_.setIdentity(std::move(*identity));
    recordLogin({acceptedOf(request.id), true, {}}, request.account);
}

void ServerConnection::refuse(RpcErrorCode code, const std::string& text)
{
    wire::Buffer out;
    wire::packError(out, std::nullopt, code, text);
    output_.append(out.data(), out.size());
    closing_ = true;
}

void ServerConnection::linger()
{
    // A close with unread bytes resets the connection, and the reset may destroy the
    // error frame before the client reads it: half-close first and drop a little more.
    std::error_code ignored;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    context_.tickets.endSession(id_);
    session_.clear();
    timer_.expires_after(lingerTime);
    timer_.async_wait([self = shared_from_this()](const std::error_code& error) {
        if (!error)
            self->shutdown();
    });
    discard(lingerBytes);
}

void ServerConnection::discard(std::size_t budget)
{
    reading_ = true;
    socket_.async_read_some(asio::buffer(input_),
                            [self = shared_from_this(), budget](const std::error_code& error, std::size_t received) {
                                self->reading_ = false;
                                if (error || self->closed_ || received >= budget)
                                    self->shutdown();
                                else
                                    self->discard(budget - received);
                            });
}

void ServerConnection::write()
{
    writing_ = true;
    sending_.swap(output_);
    asio::async_write(socket_, asio::buffer(sending_),
                      [self = shared_from_this()](const std::error_code& error, std::size_t) {
                          self->writing_ = false;
                          self->sending_.clear();
                          if (error)
                              self->shutdown();
                          else
                              self->pump();
                      });
}

void ServerConnection::armTimer()
{
    if (closed_)
        return;
    const bool guest = session_.guest();
    timer_.expires_after(guest ? context_.limits.loginTimeout : context_.limits.idleTimeout);
    timer_.async_wait([self = shared_from_this(), guest](const std::error_code& error) {
        if (error || self->closed_)
            return;
        self->logWarning("closed the connection from " + self->peer_ +
                         (guest ? ": no login in time" : ": idle longer than the idle timeout"));
        self->shutdown();
    });
}

void ServerConnection::logWarning(const std::string& text) const
{
    if (context_.log)
        context_.log(text);
}

void ServerConnection::shutdown()
{
    if (closed_)
        return;
    closed_ = true;
    std::error_code ignored;
    timer_.cancel();
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
    context_.tickets.endSession(id_);
    session_.clear();
}

} // namespace orvane
