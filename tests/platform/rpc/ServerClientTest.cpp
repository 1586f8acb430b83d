#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"
#include "platform/rpc/RpcError.h"
#include "platform/rpc/RpcErrorOf.h"
#include "platform/rpc/RpcServer.h"
#include "platform/rpc/TestObjects.h"
#include "support/Concurrently.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"
#include "support/RawClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace orvane::test {
namespace {

using namespace std::string_literals;
using namespace std::chrono_literals;

// Waits for something the server does on its own threads (closing a session).
template <typename Condition>
bool eventually(Condition condition)
{
    for (int i = 0; i < 1000 && !condition(); ++i)
        std::this_thread::sleep_for(10ms);
    return condition();
}

// Remembers the identity of the session that created it.
class BoundObject : public AutomationObject, public SessionBound {
public:
    BoundObject() : AutomationObject("RpcTest.Bound")
    {
        method("Who", 0, [this](std::span<Variant>) { return identity_; });
    }
    void bindSession(const Variant& identity) override { identity_ = identity; }

private:
    Variant identity_;
};

Authenticator acceptSecret()
{
    return [](std::span<const Variant> credentials) {
        if (credentials.size() != 2 || credentials[1] != Variant("secret"))
            throw LoginRefused("login refused");
        return LoginOutcome{Variant::arrayOf({credentials[0], "PRTest50"}), true};
    };
}

class ServerClientTest : public ::testing::Test {
protected:
    ServerClientTest()
    {
        registerTestClasses(registry);
        registry.registerClass("RpcTest.Bound", [] { return std::make_shared<BoundObject>(); });
        baseline = liveObjects;
    }

    void startServer(RpcLimits limits = {}, Authenticator authenticate = {}, ServerLimits serverLimits = {})
    {
        const ServerLogger log = [this](std::string_view line) {
            const std::lock_guard lock(logMutex);
            logged += std::string(line) + "\n";
        };
        server = std::make_unique<RpcServer>(
            RpcServerOptions{"127.0.0.1", 0, 2, limits, std::move(authenticate), serverLimits, log}, registry);
        server->start();
    }
    std::string log()
    {
        const std::lock_guard lock(logMutex);
        return logged;
    }

    std::shared_ptr<RpcConnection> connect(RpcClientOptions options = {})
    {
        return RpcConnection::connect("127.0.0.1", server->port(), std::move(options));
    }

    AutomationRegistry registry;
    std::unique_ptr<RpcServer> server;
    int baseline = 0;
    std::mutex logMutex;
    std::string logged;
};

TEST_F(ServerClientTest, ObjectsTravelBothWaysAsTheSameObjects)
{
    startServer();
    const auto connection = connect();
    const auto echo = connection->createObject(echoClass);
    const auto child = echo->call("Child");
    ASSERT_TRUE(child.isDispatch());
    EXPECT_EQ(echo->call("Child").dispatch(), child.dispatch()); // one proxy per server object
    EXPECT_EQ(echo->call("IsChild", {child}), Variant(true));
    EXPECT_EQ(echo->call("CallOn", {Variant(DispatchPtr(echo)), "NewChild"}).dispatch()->get("Name"),
              Variant(echoClass));
    echo->put("VALUE", Variant::arrayOf({"客户", child}));
    EXPECT_EQ(echo->get("value"), Variant::arrayOf({"客户", child}));

    const DispatchPtr local = std::make_shared<EchoObject>();
    EXPECT_TRUE(
        contains(rpcErrorOf([&] { echo->call("Echo", {Variant(local)}); }).second, "does not live on the server"));
    EXPECT_EQ(echo->call("Echo", {1}), Variant(1)); // the connection is still usable
}

TEST_F(ServerClientTest, ServerErrorsReachTheCallerWithTheirText)
{
    startServer();
    const auto connection = connect();
    EXPECT_EQ(errorOf<DispatchError>([&] { connection->createObject("Nobody.Class1"); }),
              "unknown class 'Nobody.Class1'");
    const auto echo = connection->createObject(echoClass);
    EXPECT_THROW(echo->call("Colour"), DispatchError);
    EXPECT_EQ(rpcErrorOf([&] { echo->call("Fail", {"stock of A-100 is short"}); }),
              std::pair(RpcErrorCode::CallFailed, "stock of A-100 is short"s));
    EXPECT_THROW(connection->login({"ZT", "secret"}), DispatchError) << "a server without authenticator";
}

TEST_F(ServerClientTest, ABatchSentTogetherGetsEachAnswerInItsPlaceAndKeepsTheConnectionInStep)
{
    startServer();
    const auto echo = connect()->createObject(echoClass);
    announcedCalls = 0;
    std::vector<Invocation> batch{{"Echo", {"first"}, {}, {}},
                                  {"Echo", {"second"}, {}, {}},
                                  {"Fail", {"no price for A-100"}, {}, {}},
                                  {"Swap", {1, "two"}, {}, {}},
                                  {"Colour", {}, {}, {}}};
    echo->invokeAll(batch);
    EXPECT_EQ(batch[0].result, Variant("first"));
    EXPECT_EQ(batch[1].result, Variant("second"));
    EXPECT_EQ(announcedCalls, 2) << "the two calls of one member were announced to the object together";
    EXPECT_EQ(rpcErrorOf([&] { std::rethrow_exception(batch[2].error); }),
              std::pair(RpcErrorCode::CallFailed, "no price for A-100"s));
    EXPECT_EQ(batch[3].args, (std::vector<Variant>{"two", 1}));
    EXPECT_THROW(std::rethrow_exception(batch[4].error), DispatchError);
    EXPECT_EQ(echo->call("Echo", {7}), Variant(7)); // the next call reads its own answer
}

TEST_F(ServerClientTest, StringsAreTranscodedByTheClientsCodec)
{
    startServer();
    // A stand-in code page: "\xe9" (Latin-1) is the two bytes of UTF-8 on the wire.
    const auto replacing = [](std::string from, std::string to) {
        return [=](std::string_view s) {
            std::string out(s);
            for (auto at = out.find(from); at != std::string::npos; at = out.find(from, at + to.size()))
                out.replace(at, from.size(), to);
            return out;
        };
    };
    const TextCodec latin1{.toWire = replacing("\xe9", "\xc3\xa9"), .fromWire = replacing("\xc3\xa9", "\xe9")};
    const auto echo = connect({.text = latin1})->createObject(echoClass);
    EXPECT_EQ(echo->call("Length", {"caf\xe9"}), Variant(5)); // the server saw UTF-8
    EXPECT_EQ(echo->call("Echo", {"caf\xe9"}), Variant("caf\xe9"));
}

TEST_F(ServerClientTest, ReleasingDisconnectingAndStoppingFreeServerObjects)
{
    startServer();
    auto connection = connect();
    auto echo = connection->createObject(echoClass);
    auto child = echo->call("NewChild");
    EXPECT_EQ(liveObjects, baseline + 2);
    child = Variant();
    EXPECT_EQ(liveObjects, baseline + 1); // released synchronously
    echo.reset();
    EXPECT_EQ(liveObjects, baseline);

    // Overwriting a by-reference argument that held the last proxy releases it after the call.
    echo = connection->createObject(echoClass);
    std::vector<Variant> args{Variant(DispatchPtr(echo)), Variant(0)};
    echo.reset();
    connection->createObject(echoClass)->invoke("Swap", args);
    EXPECT_EQ(liveObjects, baseline + 1);
    args.clear();
    EXPECT_EQ(liveObjects, baseline);

    const auto kept = connection->createObject(echoClass);
    kept->call("Child");
    EXPECT_EQ(liveObjects, baseline + 2);
    connection->close();
    EXPECT_TRUE(eventually([&] { return liveObjects == baseline; }));
    EXPECT_THROW(kept->call("Echo", {1}), RpcError);

    const auto held = connect()->createObject(echoClass);
    EXPECT_EQ(liveObjects, baseline + 1);
    server->stop();
    EXPECT_EQ(liveObjects, baseline);
}

TEST_F(ServerClientTest, MalformedFramesCloseOnlyTheirConnection)
{
    startServer();
    const auto healthy = connect()->createObject(echoClass);
    // A frame the dispatcher refuses; one the reader refuses before it is whole is the huge login frame.
    RawClient notAnArray(server->port());
    notAnArray.send("\xa3"s + "abc");
    const auto answers = notAnArray.answers();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_FALSE(answers[0].id);
    EXPECT_EQ(answers[0].error->code(), RpcErrorCode::MalformedFrame);
    // Truncated data: the server waits for the rest, then sees the end of the stream.
    RawClient truncated(server->port());
    truncated.send("\x94\x00\x01\xa6"s + "cre");
    truncated.finishSending();
    EXPECT_TRUE(truncated.answers().empty());
    EXPECT_EQ(healthy->call("Echo", {"still here"}), Variant("still here"));
}

TEST_F(ServerClientTest, AnOversizedRequestIsRefusedAndTheReasonReachesTheClient)
{
    startServer({.maxFrameBytes = 1024});
    const auto echo = connect()->createObject(echoClass);
    const auto [code, text] = rpcErrorOf([&] { echo->call("Echo", {std::string(2000, 'x')}); });
    EXPECT_EQ(code, RpcErrorCode::MalformedFrame);
    EXPECT_TRUE(contains(text, "exceeds the limit of 1024 bytes"));
    EXPECT_FALSE(echo->connection().isOpen());
    EXPECT_TRUE(eventually([&] { return liveObjects == baseline; })); // the session ended with it
}

TEST_F(ServerClientTest, ConnectionFailuresSayWhereAndWhy)
{
    startServer();
    const auto port = server->port();
    server->stop();
    const auto where = "127.0.0.1:" + std::to_string(port);
    EXPECT_EQ(rpcErrorOf([&] { RpcConnection::connect("127.0.0.1", port); }),
              std::pair(RpcErrorCode::ConnectionFailed, "cannot connect to " + where + ": Connection refused"));
    EXPECT_EQ(rpcErrorOf([] { RpcConnection::connect("", 211); }).second,
              "cannot connect to :211: no server address given");
    startServer();
    const auto slow = connect({.callTimeout = 20ms})->createObject(echoClass);
    EXPECT_EQ(rpcErrorOf([&] { slow->call("Wait", {300}); }).second,
              "connection to 127.0.0.1:" + std::to_string(server->port()) + " lost: no answer within 20 ms");
    EXPECT_FALSE(slow->connection().isOpen());

    RpcServer busy(RpcServerOptions{"127.0.0.1", 0, 1, {}}, registry);
    busy.start();
    RpcServer second(RpcServerOptions{"127.0.0.1", busy.port(), 1, {}}, registry);
    EXPECT_THROW(second.start(), RpcError);
}

// Each client's arguments come back as the server's Swap left them, into that client's variants.
TEST_F(ServerClientTest, ConcurrentClientsEachGetTheirOwnAnswers)
{
    startServer();
    constexpr int clients = 4;
    constexpr int calls = 200;
    std::vector<int> correct(clients, 0);
    const auto client = [&](int c) {
        const auto echo = connect()->createObject(echoClass);
        for (int i = 0; i < calls; ++i) {
            std::vector<Variant> args{Variant(c), Variant(i)};
            echo->invoke("Swap", args);
            if (args[0] == Variant(i) && args[1] == Variant(c))
                ++correct[c];
        }
    };
    EXPECT_EQ(runConcurrently(clients, client), std::vector<std::string>{});
    for (int c = 0; c < clients; ++c)
        EXPECT_EQ(correct[c], calls) << "client " << c;
    EXPECT_TRUE(eventually([&] { return liveObjects == baseline; }));
}

// What a client that never logs in, floods, stalls or never reads may cost the server.

TEST_F(ServerClientTest, AGuestCreatingObjectsWithoutEndIsCutOffAfterAFew)
{
    startServer({}, acceptSecret());
    const std::size_t creates = 1000000;
    std::string batch;
    for (int i = 0; i < 10000; ++i)
        batch += requestFrame(1, "create", {echoClass});
    RawClient guest(server->port());
    guest.send(batch, creates / 10000);
    const auto answers = guest.answers();
    ASSERT_EQ(answers.size(), ServerLimits{}.guestObjects + 1);
    EXPECT_EQ(answers.back().error->code(), RpcErrorCode::LimitExceeded);
    EXPECT_TRUE(contains(answers.back().error->what(), "has not logged in may hold at most 16 objects"));
    EXPECT_TRUE(eventually([&] { return liveObjects == baseline; }));
}

TEST_F(ServerClientTest, AHugeLoginFrameIsRefusedAfterItsFirstBytes)
{
    startServer({}, acceptSecret());
    // [0, 1, "login", [30 arrays of 1 Mi integers]], the arrays in payloads of their own:
    // within every per-array budget, cheap to send and dear to decode.
    const auto be32 = [](std::uint32_t n) {
        return std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
                           static_cast<char>(n)};
    };
    const std::uint32_t perArray = 1u << 20;
    const std::string payload =
        "\x92\x92\x00\xce"s + be32(perArray) + "\xdd" + be32(perArray) + std::string(perArray, '\x01');
    const std::string array = "\xc9"s + be32(static_cast<std::uint32_t>(payload.size())) + "\x01" + payload;
    std::string frame = "\x94\x00\x01\xa5login\x91\xdc\x00\x1e"s;
    for (int i = 0; i < 30; ++i)
        frame += array;
    RawClient guest(server->port());
    guest.send(frame);
    const auto answers = guest.answers();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_FALSE(answers[0].id) << "refused before its id was read";
    EXPECT_EQ(answers[0].error->code(), RpcErrorCode::MalformedFrame);
    EXPECT_TRUE(contains(answers[0].error->what(), "exceeds the limit of 65536 bytes"));
}

TEST_F(ServerClientTest, UnfinishedRequestsOfAllConnectionsShareOneCap)
{
    startServer({}, {}, {.bufferedBytes = 1 << 20});
    const auto frame = requestFrame(7, "invoke", {1, "Length", Variant::arrayOf({std::string(600000, 'a')})});
    RawClient first(server->port());
    first.send(requestFrame(1, "create", {echoClass}) + frame.substr(0, frame.size() - 10));
    ASSERT_EQ(first.answers(1).size(), 1u);
    ASSERT_TRUE(eventually([&] { return server->bufferedBytes() == frame.size() - 10; }));
    RawClient second(server->port());
    second.send(frame.substr(0, frame.size() - 10));
    const auto refused = second.answers();
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].error->code(), RpcErrorCode::LimitExceeded);
    EXPECT_TRUE(contains(log(), "too many unfinished requests"));
    // The first connection's request is still whole once its end arrives.
    first.send(frame.substr(frame.size() - 10));
    const auto answered = first.answers(1);
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_FALSE(answered[0].error);
}

TEST_F(ServerClientTest, ConnectionsBeyondTheLimitsAreRefusedAndLogged)
{
    startServer({}, {}, {.connections = 4, .connectionsPerAddress = 3});
    std::vector<std::unique_ptr<RawClient>> open;
    for (int i = 0; i < 3; ++i)
        open.push_back(std::make_unique<RawClient>(server->port()));
    RawClient fourthFromOneAddress(server->port());
    const auto refused = fourthFromOneAddress.answers();
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].error->code(), RpcErrorCode::LimitExceeded);
    EXPECT_TRUE(contains(log(), "refused a connection from 127.0.0.1: 3 connections are open from 127.0.0.1"));

    open.push_back(std::make_unique<RawClient>(server->port(), "127.0.0.2"));
    RawClient fifth(server->port(), "127.0.0.3");
    const auto full = fifth.answers();
    ASSERT_EQ(full.size(), 1u);
    EXPECT_TRUE(contains(full[0].error->what(), "4 connections are open, the most"));

    open.clear(); // closing makes room again
    EXPECT_TRUE(eventually([&] {
        try {
            return connect()->createObject(echoClass)->call("Echo", {1}) == Variant(1);
        } catch (const RpcError&) {
            return false;
        }
    }));
}

TEST_F(ServerClientTest, SilentConnectionsAreClosedAfterTheirTimeout)
{
    startServer({}, acceptSecret(), {.loginTimeout = 300ms, .idleTimeout = 500ms});
    RawClient silent(server->port());
    const auto connection = connect();
    connection->login({"ZT", "secret"});
    const auto echo = connection->createObject(echoClass);
    EXPECT_TRUE(silent.closedByServer());
    EXPECT_TRUE(contains(log(), "no login in time"));
    for (int i = 0; i < 8; ++i) { // busy beyond the idle timeout, never idle that long
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(echo->call("Echo", {i}), Variant(i));
    }
    EXPECT_TRUE(eventually([&] { return contains(log(), "idle longer than the idle timeout"); }));
    EXPECT_THROW(echo->call("Echo", {1}), RpcError);
}

TEST_F(ServerClientTest, AClientThatDoesNotReadItsAnswersStopsBeingRead)
{
    startServer({}, {}, {.pendingAnswerBytes = 256 << 10});
    fillCalls = 0;
    const int requests = 1000;
    std::string pipelined = requestFrame(1, "create", {echoClass});
    for (int i = 0; i < requests; ++i)
        pipelined += requestFrame(2, "invoke", {1, "Fill", Variant::arrayOf({100000})});
    RawClient reader(server->port());
    reader.send(pipelined);
    std::this_thread::sleep_for(500ms);
    // Whatever the socket buffers hold aside, the server stopped answering: 100 MB stay unmade.
    EXPECT_LT(fillCalls, requests / 2);
    EXPECT_EQ(reader.answers(requests + 1).size(), requests + 1u); // reading resumes them all
}

// Tickets: a further connection of a logged-in client proves itself without the password, and
// gets the identity its login gave, which a connection that never logged in lacks.

TEST_F(ServerClientTest, ATicketLogsInOneFurtherConnectionAsTheSameUserOnce)
{
    startServer({}, acceptSecret());
    auto shell = connect();
    EXPECT_THROW(shell->requestTicket(), DispatchError) << "a session that has not logged in gets no ticket";
    shell->login({"ZT", "secret"});
    const std::string ticket = shell->requestTicket();
    EXPECT_NE(shell->requestTicket(), ticket);

    auto program = connect();
    EXPECT_EQ(program->redeemTicket("ZT", ticket), Variant(true));
    EXPECT_EQ(program->createObject("RpcTest.Bound")->call("Who"), Variant::arrayOf({"ZT", "PRTest50"}));

    auto again = connect();
    EXPECT_TRUE(contains(rpcErrorOf([&] { again->redeemTicket("ZT", ticket); }).second, "used or expired ticket"));
    EXPECT_TRUE(again->createObject("RpcTest.Bound")->call("Who").isUnassigned());
    EXPECT_TRUE(contains(log(), "failed login of 'ZT'"));
    EXPECT_FALSE(contains(log(), ticket.substr(ticket.find('.') + 1))) << "a ticket is never logged";
}

TEST_F(ServerClientTest, ATicketIsRefusedToAnotherUserAfterItExpiresAndAfterItsSessionEnds)
{
    ServerLimits limits{.tickets = {.lifetime = 100ms}};
    startServer({}, acceptSecret(), limits);
    auto shell = connect();
    shell->login({"ZT", "secret"});

    const std::string shown = shell->requestTicket();
    EXPECT_THROW(connect()->redeemTicket("SALES01", shown), RpcError);
    EXPECT_THROW(connect()->redeemTicket("ZT", shown), RpcError) << "a ticket shown by another user is spent";

    const std::string late = shell->requestTicket();
    std::this_thread::sleep_for(150ms);
    EXPECT_THROW(connect()->redeemTicket("ZT", late), RpcError);

    limits.tickets.lifetime = 60s;
    server.reset();
    startServer({}, acceptSecret(), limits);
    shell = connect();
    shell->login({"ZT", "secret"});
    auto held = shell->createObject(echoClass);
    const std::string orphan = shell->requestTicket();
    shell->close();
    ASSERT_TRUE(eventually([&] { return liveObjects == baseline; })) << "the session has ended";
    EXPECT_THROW(connect()->redeemTicket("ZT", orphan), RpcError);
}

TEST_F(ServerClientTest, FailedTicketsCountAsFailedLogins)
{
    startServer({}, acceptSecret(), {.throttle = {2, 60s, 60s}});
    auto guesser = connect();
    for (const char* guess : {"1.00", "not a ticket"})
        EXPECT_EQ(rpcErrorOf([&] { guesser->redeemTicket("ZT", guess); }).first, RpcErrorCode::CallFailed);
    const auto [code, text] = rpcErrorOf([&] { guesser->redeemTicket("ZT", "2.00"); });
    EXPECT_EQ(code, RpcErrorCode::LimitExceeded);
    EXPECT_TRUE(contains(text, "too many failed logins"));
    const auto right = [&] { connect()->login({"ZT", "secret"}); };
    EXPECT_EQ(rpcErrorOf(right).first, RpcErrorCode::LimitExceeded) << "the account waits for passwords too";
}

// A login the server could not check (its database away) is not the user's failure: nothing is
// counted against the account, and the client learns no more than that while the log has the cause.
TEST_F(ServerClientTest, ALoginTheServerCouldNotCheckIsNeitherCountedNorExplainedToTheClient)
{
    std::atomic<int> faults = 3;
    const Authenticator accept = acceptSecret();
    startServer({},
                [&](std::span<const Variant> credentials) {
                    if (faults-- > 0)
                        throw std::runtime_error(
                            "PostgreSQL: SELECT U.PASSWORD_HASH FROM ...: server closed the connection");
                    return accept(credentials);
                },
                {.throttle = {2, 60s, 60s}});
    for (int i = 0; i < 3; ++i) {
        const auto [code, text] = rpcErrorOf([&] { connect()->login({"ZT", "secret"}); });
        EXPECT_EQ(text, "the server cannot check logins now; try again in a moment");
    }
    EXPECT_EQ(connect()->login({"ZT", "secret"}), Variant(true));
    EXPECT_TRUE(contains(log(), "could not check the login of 'ZT' from 127.0.0.1: PostgreSQL: SELECT"));
}

} // namespace
} // namespace orvane::test
