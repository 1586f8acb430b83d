#pragma once
// The MessagePack-RPC envelope: request [0, msgid, method, params] and response
// [1, msgid, error, result], the extension types that carry variants, and the safe
// way to turn received bytes into MessagePack objects. Both ends use these.

#include "platform/rpc/RpcError.h"
#include "platform/rpc/RpcLimits.h"

#include <msgpack.hpp>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvane::wire {

using Buffer = msgpack::sbuffer;
using Packer = msgpack::packer<msgpack::sbuffer>;

enum class MessageType : std::uint64_t { Request = 0, Response = 1 };

// Extension types of variants that MessagePack has no type for.
enum class ExtType : std::int8_t { Unassigned = 0, Array = 1, Object = 2 };

// A request whose envelope has been checked; views into the unpacked object.
struct Request {
    std::uint32_t id = 0;
    std::string_view method;
    std::span<const msgpack::object> params;
};

// A response whose envelope has been checked. A response without an id is the
// server's last word before it closes a connection that sent a malformed frame.
struct Response {
    std::optional<std::uint32_t> id;
    std::optional<RpcError> error;
    const msgpack::object* result = nullptr;
};

// Unpacks bytes that must hold exactly one MessagePack value within the limits;
// raises RpcError(MalformedFrame) naming `what` otherwise.
msgpack::object_handle unpackWhole(std::string_view bytes, const RpcLimits& limits, std::string_view what);

// Checks the request envelope; raises RpcError(MalformedFrame) naming the fault.
Request parseRequest(const msgpack::object& frame);
// Checks the response envelope; raises RpcError(MalformedFrame) naming the fault.
Response parseResponse(const msgpack::object& frame);

// Writes [0, id, method, and the head of a params array of `paramCount` elements.
void packRequestHead(Buffer& out, std::uint32_t id, std::string_view method, std::uint32_t paramCount);
// Writes [1, id, nil, and leaves the result to the caller.
void packResultHead(Buffer& out, std::uint32_t id);
// Writes a whole error response; no id when the request's id could not be read.
void packError(Buffer& out, std::optional<std::uint32_t> id, RpcErrorCode code, std::string_view message);

void packString(Buffer& out, std::string_view text);
// Always a 64-bit float: the packer would turn integral doubles into integers.
void packFloat(Buffer& out, double value);
void packExt(Buffer& out, ExtType type, std::string_view payload);

// Name of an object's MessagePack type for error texts ("string", "map", ...).
std::string_view typeName(const msgpack::object& object);

} // namespace orvane::wire
