#include "platform/rpc/Dispatcher.h"
#include "platform/rpc/RpcError.h"
#include "platform/rpc/TestObjects.h"
#include "support/Contains.h"
#include "support/RawClient.h"

#include <gtest/gtest.h>

#include <functional>

namespace orvane::test {
namespace {

using namespace std::string_literals;

using Params = std::function<void(wire::Buffer&)>;

std::string request(std::uint32_t id, std::string_view method, std::uint32_t count, const Params& params = {})
{
    wire::Buffer out;
    wire::packRequestHead(out, id, method, count);
    if (params)
        params(out);
    return std::string(out.data(), out.size());
}

void packObject(wire::Buffer& out, std::uint64_t handle)
{
    wire::Buffer payload;
    wire::Packer(payload).pack_uint64(handle);
    wire::packExt(out, wire::ExtType::Object, std::string_view(payload.data(), payload.size()));
}

struct Answer {
    msgpack::object_handle frame;
    wire::Response response;
    bool closed = false;

    const msgpack::object& result() const { return *response.result; }
    RpcErrorCode code() const { return response.error ? response.error->code() : RpcErrorCode{0}; }
    std::string message() const { return response.error ? response.error->what() : ""; }
};

class DispatcherTest : public ::testing::Test {
protected:
    DispatcherTest() { registerTestClasses(registry); }

    // The answer of `to`, the fixture's dispatcher unless another.
    Answer send(const std::string& bytes, const Dispatcher* to = nullptr)
    {
        auto result = (to ? *to : dispatcher).dispatch(session, bytes);
        Answer answer;
        answer.frame = wire::unpackWhole(result.response, RpcLimits{}, "response");
        answer.response = wire::parseResponse(answer.frame.get());
        answer.closed = result.closeConnection;
        return answer;
    }

    std::uint64_t create()
    {
        const auto answer = send(requestFrame(1, "create", {echoClass}));
        EXPECT_FALSE(answer.response.error) << answer.message();
        return answer.result().via.u64;
    }

    AutomationRegistry registry;
    Dispatcher dispatcher{registry};
    Session session;
};

// Invocations of one member of one object that arrive together are announced to it once, before
// the first is answered; anything else ends the run.
TEST_F(DispatcherTest, InvocationsSentTogetherAreAnnouncedToAnObjectThatPreparesThem)
{
    const std::uint64_t handle = create();
    const auto& echo = dynamic_cast<const EchoObject&>(*session.objectFor(handle));
    const auto invoke = [&](std::string_view member, const Variant& value) {
        return requestFrame(2, "invoke", {static_cast<long long>(handle), member, Variant::arrayOf({value})});
    };
    const std::string first = invoke("Echo", 1);
    const std::vector<std::string> following{invoke("Echo", 2), invoke("Echo", "three"), invoke("Length", "x"),
                                             invoke("Echo", 4)};
    const std::vector<std::string_view> views(following.begin(), following.end());

    EXPECT_EQ(dispatcher.announceCalls(session, first, views), 3u);
    ASSERT_EQ(echo.announced.size(), 1u);
    EXPECT_EQ(echo.announced[0], (std::vector<std::vector<Variant>>{{1}, {2}, {"three"}}));
    // A member it does not prepare, a call alone and a broken frame announce nothing.
    EXPECT_EQ(dispatcher.announceCalls(session, following[2], std::span(views).subspan(3)), 1u);
    EXPECT_EQ(dispatcher.announceCalls(session, first, {}), 1u);
    const std::vector<std::string_view> broken{std::string_view(following[0]).substr(1)};
    EXPECT_EQ(dispatcher.announceCalls(session, first, broken), 1u);
    EXPECT_EQ(echo.announced.size(), 1u);
    // A preparation that fails leaves the calls to run and meet the fault themselves.
    EXPECT_EQ(dispatcher.announceCalls(session, invoke("Echo", "fail"), std::span(views).first(1)), 2u);
    EXPECT_EQ(echo.announced.size(), 2u);
}

struct ErrorCase {
    const char* name;
    std::string frame;
    RpcErrorCode code;
    const char* message;
};

// An unknown class and an object that raises, answered through a running server: ServerClientTest.
// One argument count stands for all: every method is called with its right count there.
TEST_F(DispatcherTest, RefusedCallsAnswerAnErrorAndKeepTheConnection)
{
    const Variant handle(static_cast<long long>(create()));
    const ErrorCase cases[] = {
        {"unknown method", requestFrame(4, "destroy", {1}), RpcErrorCode::UnknownMethod, "unknown method 'destroy'"},
        {"method names are exact", requestFrame(4, "Create", {"x"}), RpcErrorCode::UnknownMethod,
         "unknown method 'Create'"},
        {"invoke with two arguments", requestFrame(4, "invoke", {1, "Echo"}), RpcErrorCode::InvalidArguments,
         "'invoke' takes 3 arguments (handle, name, args), got 2"},
        {"class name not a string", requestFrame(4, "create", {5}), RpcErrorCode::InvalidArguments,
         "'create' argument 1 (class name) must be a string, got integer"},
        {"handle not an integer", requestFrame(4, "get", {"1", "Value"}), RpcErrorCode::InvalidArguments,
         "'get' argument 1 (handle) must be a positive integer, got string"},
        {"args not an array", requestFrame(4, "invoke", {handle, "Echo", Variant::null()}),
         RpcErrorCode::InvalidArguments, "'invoke' argument 3 (args) must be an array, got nil"},
        {"unknown handle", requestFrame(4, "get", {77, "Value"}), RpcErrorCode::UnknownHandle,
         "unknown object handle 77"},
        {"unknown handle inside args",
         request(4, "invoke", 3,
                 [&](auto& out) {
                     wire::Packer(out).pack_uint64(handle.toInteger());
                     wire::packString(out, "Echo");
                     wire::Packer(out).pack_array(1);
                     packObject(out, 78);
                 }),
         RpcErrorCode::UnknownHandle, "unknown object handle 78"},
        {"release of an unknown handle", requestFrame(4, "release", {79}), RpcErrorCode::UnknownHandle,
         "unknown object handle 79"},
        {"unknown member", requestFrame(4, "get", {handle, "Colour"}), RpcErrorCode::CallRejected, "Colour"},
    };
    for (const auto& c : cases) {
        const auto answer = send(c.frame);
        EXPECT_FALSE(answer.closed) << c.name;
        EXPECT_EQ(answer.response.id, 4u) << c.name;
        EXPECT_EQ(answer.code(), c.code) << c.name << ": " << answer.message();
        EXPECT_TRUE(contains(answer.message(), c.message)) << c.name << ": " << answer.message();
        EXPECT_EQ(answer.result().type, msgpack::type::NIL) << c.name;
    }
    EXPECT_EQ(session.size(), 1u);
}

TEST_F(DispatcherTest, MalformedFramesAskToCloseTheConnection)
{
    const auto handle = create();
    const std::pair<const char*, std::string> cases[] = {
        {"not an array", "\xa3"s + "abc"},
        {"three elements", "\x93\x00\x01\xa6"s + "create"},
        {"type 2 (notification)", "\x94\x02\x01\xa6"s + "create\x90"},
        {"negative id", "\x94\x00\xff\xa6"s + "create\x90"},
        {"id above 32 bits", "\x94\x00\xcf\x00\x00\x00\x01\x00\x00\x00\x00\xa6"s + "create\x90"},
        {"method not a string", "\x94\x00\x01\x05\x90"s},
        {"params not an array", "\x94\x00\x01\xa6"s + "create\xc0"},
        // What the frame scanner refuses (its own test has each kind) closes the connection too.
        {"truncated", "\x94\x00\x01\xa6"s + "crea"},
    };
    for (const auto& [name, frame] : cases) {
        const auto answer = send(frame);
        EXPECT_TRUE(answer.closed) << name;
        EXPECT_FALSE(answer.response.id) << name;
        EXPECT_EQ(answer.code(), RpcErrorCode::MalformedFrame) << name << ": " << answer.message();
    }
    // A bad variant inside a well-formed request is answered under the request's id.
    const auto answer = send(request(9, "invoke", 3, [&](auto& out) {
        wire::Packer(out).pack_uint64(handle);
        wire::packString(out, "Echo");
        wire::Packer(out).pack_array(1);
        wire::Packer(out).pack_map(0);
    }));
    EXPECT_TRUE(answer.closed);
    EXPECT_EQ(answer.response.id, 9u);
    EXPECT_EQ(answer.code(), RpcErrorCode::MalformedFrame);
    EXPECT_EQ(session.size(), 1u);
}

TEST_F(DispatcherTest, AnAnswerAboveTheFrameLimitBecomesAnError)
{
    const Dispatcher small(registry, {.maxFrameBytes = 256});
    const auto handle = static_cast<long long>(create());
    const auto answer =
        send(requestFrame(6, "invoke", {handle, "Echo", Variant::arrayOf({std::string(200, 'x')})}), &small);
    EXPECT_EQ(answer.code(), RpcErrorCode::CallFailed);
    EXPECT_TRUE(contains(answer.message(), "frame limit of 256"));
}

} // namespace
} // namespace orvane::test
