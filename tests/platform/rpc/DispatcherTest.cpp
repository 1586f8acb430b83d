#include "platform/rpc/Dispatcher.h"
#include "platform/rpc/RpcError.h"
#include "platform/rpc/TestObjects.h"
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

    Answer send(const std::string& bytes)
    {
        auto result = dispatcher.dispatch(session, bytes);
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

    Answer invoke(std::uint64_t handle, std::string_view name, const Params& args, std::uint32_t count)
    {
        return send(request(9, "invoke", 3, [&](auto& out) {
            wire::Packer(out).pack_uint64(handle);
            wire::packString(out, name);
            wire::Packer(out).pack_array(count);
            if (args)
                args(out);
        }));
    }

    AutomationRegistry registry;
    Dispatcher dispatcher{registry};
    Session session;
};

TEST_F(DispatcherTest, InvokeReturnsTheValueAndTheArgumentsAsTheObjectLeftThem)
{
    const auto handle = create();
    const auto answer = invoke(
        handle, "swap",
        [](auto& out) {
            wire::Packer(out).pack_int64(1);
            wire::packString(out, "two");
        },
        2);
    ASSERT_FALSE(answer.response.error) << answer.message();
    EXPECT_EQ(answer.response.id, 9u);
    const auto& result = answer.result();
    ASSERT_EQ(result.type, msgpack::type::ARRAY);
    EXPECT_TRUE(result.via.array.ptr[0].as<bool>());
    const auto args = result.via.array.ptr[1].as<std::vector<msgpack::object>>();
    EXPECT_EQ(args.at(0).as<std::string>(), "two");
    EXPECT_EQ(args.at(1).as<int>(), 1);
}

TEST_F(DispatcherTest, PropertiesAndTheSameChildObjectUnderOneHandle)
{
    const auto handle = create();
    const Variant object(static_cast<long long>(handle));
    auto put = send(requestFrame(2, "put", {object, "value", "kept"}));
    ASSERT_FALSE(put.response.error) << put.message();
    EXPECT_EQ(put.result().type, msgpack::type::NIL);
    auto get = send(requestFrame(3, "get", {object, "Value"}));
    EXPECT_EQ(get.result().as<std::string>(), "kept");

    const auto first = invoke(handle, "Child", {}, 0);
    const auto second = invoke(handle, "Child", {}, 0);
    const auto& child = first.result().via.array.ptr[0];
    ASSERT_EQ(child.type, msgpack::type::EXT);
    EXPECT_EQ(child.via.ext.type(), static_cast<std::int8_t>(wire::ExtType::Object));
    EXPECT_EQ(child, second.result().via.array.ptr[0]);
    EXPECT_EQ(session.size(), 2u);

    const std::uint64_t childHandle = 2;
    const auto same = invoke(
        handle, "IsChild", [&](auto& out) { packObject(out, childHandle); }, 1);
    EXPECT_TRUE(same.result().via.array.ptr[0].as<bool>());
}

struct ErrorCase {
    const char* name;
    std::string frame;
    RpcErrorCode code;
    const char* message;
};

TEST_F(DispatcherTest, RefusedCallsAnswerAnErrorAndKeepTheConnection)
{
    const Variant handle(static_cast<long long>(create()));
    const ErrorCase cases[] = {
        {"unknown method", requestFrame(4, "destroy", {1}), RpcErrorCode::UnknownMethod, "unknown method 'destroy'"},
        {"method names are exact", requestFrame(4, "Create", {"x"}), RpcErrorCode::UnknownMethod,
         "unknown method 'Create'"},
        {"create without arguments", requestFrame(4, "create", {}), RpcErrorCode::InvalidArguments,
         "'create' takes 1 arguments (class name), got 0"},
        {"invoke with two arguments", requestFrame(4, "invoke", {1, "Echo"}), RpcErrorCode::InvalidArguments,
         "'invoke' takes 3 arguments (handle, name, args), got 2"},
        {"get with three arguments", requestFrame(4, "get", {1, "Value", Variant::null()}),
         RpcErrorCode::InvalidArguments, "'get' takes 2 arguments (handle, name), got 3"},
        {"release without arguments", requestFrame(4, "release", {}), RpcErrorCode::InvalidArguments,
         "'release' takes 1 arguments (handle), got 0"},
        {"class name not a string", requestFrame(4, "create", {5}), RpcErrorCode::InvalidArguments,
         "'create' argument 1 (class name) must be a string, got integer"},
        {"handle not an integer", requestFrame(4, "get", {"1", "Value"}), RpcErrorCode::InvalidArguments,
         "'get' argument 1 (handle) must be a positive integer, got string"},
        {"args not an array", requestFrame(4, "invoke", {handle, "Echo", Variant::null()}),
         RpcErrorCode::InvalidArguments, "'invoke' argument 3 (args) must be an array, got nil"},
        {"unknown class", requestFrame(4, "create", {"Nobody.Class1"}), RpcErrorCode::UnknownClass,
         "unknown class 'Nobody.Class1'"},
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
        {"object raises", requestFrame(4, "invoke", {handle, "Fail", Variant::arrayOf({"customer C001 is blocked"})}),
         RpcErrorCode::CallFailed, "customer C001 is blocked"},
    };
    for (const auto& c : cases) {
        const auto answer = send(c.frame);
        EXPECT_FALSE(answer.closed) << c.name;
        EXPECT_EQ(answer.response.id, 4u) << c.name;
        EXPECT_EQ(answer.code(), c.code) << c.name << ": " << answer.message();
        EXPECT_NE(answer.message().find(c.message), std::string::npos) << c.name << ": " << answer.message();
        EXPECT_EQ(answer.result().type, msgpack::type::NIL) << c.name;
    }
    EXPECT_EQ(session.size(), 1u);
}

TEST_F(DispatcherTest, MalformedFramesAskToCloseTheConnection)
{
    const auto handle = create();
    const std::pair<const char*, std::string> cases[] = {
        {"not an array", "\xa3"
                         "abc"s},
        {"three elements", "\x93\x00\x01\xa6"
                           "create"s},
        {"type 1", "\x94\x01\x01\xa6"
                   "create\x90"s},
        {"type 2 (notification)", "\x94\x02\x01\xa6"
                                  "create\x90"s},
        {"negative id", "\x94\x00\xff\xa6"
                        "create\x90"s},
        {"id above 32 bits", std::string("\x94\x00\xcf\x00\x00\x00\x01\x00\x00\x00\x00\xa6"
                                         "create\x90",
                                         20)},
        {"method not a string", "\x94\x00\x01\x05\x90"s},
        {"params not an array", "\x94\x00\x01\xa6"
                                "create\xc0"s},
        {"truncated", "\x94\x00\x01\xa6"
                      "crea"s},
        {"trailing bytes", "\x94\x00\x01\xa6"
                           "create\x90\x00"s},
        {"not MessagePack", "\xc1\xc1\xc1"s},
        {"huge declared string", "\x94\x00\x01\xdb\xff\xff\xff\xff"s},
        {"deep nesting", std::string(200, '\x91') + '\x00'},
    };
    for (const auto& [name, frame] : cases) {
        const auto answer = send(frame);
        EXPECT_TRUE(answer.closed) << name;
        EXPECT_FALSE(answer.response.id) << name;
        EXPECT_EQ(answer.code(), RpcErrorCode::MalformedFrame) << name << ": " << answer.message();
    }
    // A bad variant inside a well-formed request is answered under the request's id.
    const auto answer = invoke(
        handle, "Echo", [](auto& out) { wire::Packer(out).pack_map(0); }, 1);
    EXPECT_TRUE(answer.closed);
    EXPECT_EQ(answer.response.id, 9u);
    EXPECT_EQ(answer.code(), RpcErrorCode::MalformedFrame);
    EXPECT_EQ(session.size(), 1u);
}

TEST_F(DispatcherTest, AnAnswerAboveTheFrameLimitBecomesAnError)
{
    RpcLimits limits;
    limits.maxFrameBytes = 256;
    const Dispatcher small(registry, limits);
    const auto handle = create();
    const auto frame =
        requestFrame(6, "invoke", {static_cast<long long>(handle), "Echo", Variant::arrayOf({std::string(200, 'x')})});
    const auto result = small.dispatch(session, frame);
    const auto unpacked = wire::unpackWhole(result.response, RpcLimits{}, "response");
    const auto response = wire::parseResponse(unpacked.get());
    ASSERT_TRUE(response.error);
    EXPECT_EQ(response.error->code(), RpcErrorCode::CallFailed);
    EXPECT_NE(std::string(response.error->what()).find("frame limit of 256"), std::string::npos);
}

} // namespace
} // namespace orvane::test
