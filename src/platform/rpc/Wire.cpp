#include "platform/rpc/Wire.h"

#include "platform/rpc/FrameScanner.h"

#include <bit>
#include <cstring>
#include <limits>

namespace orvane::wire {

namespace {

[[noreturn]] void malformed(const std::string& text)
{
    throw RpcError(RpcErrorCode::MalformedFrame, text);
}

std::optional<std::uint64_t> unsignedValue(const msgpack::object& object)
{
    if (object.type != msgpack::type::POSITIVE_INTEGER)
        return std::nullopt;
    return object.via.u64;
}

std::uint32_t messageId(const msgpack::object& object, std::string_view frameKind)
{
    const auto id = unsignedValue(object);
    if (!id || *id > std::numeric_limits<std::uint32_t>::max())
        malformed(std::string(frameKind) + " id must be an unsigned 32-bit integer, got " +
                  std::string(typeName(object)));
    return static_cast<std::uint32_t>(*id);
}

std::span<const msgpack::object> arrayItems(const msgpack::object& object)
{
    return {object.via.array.ptr, object.via.array.size};
}

std::span<const msgpack::object> envelope(const msgpack::object& frame, MessageType type, std::string_view kind)
{
    if (frame.type != msgpack::type::ARRAY)
        malformed(std::string(kind) + " must be an array, got " + std::string(typeName(frame)));
    const auto items = arrayItems(frame);
    if (items.size() != 4)
        malformed(std::string(kind) + " must have 4 elements, got " + std::to_string(items.size()));
    const auto actual = unsignedValue(items[0]);
    if (!actual || *actual != static_cast<std::uint64_t>(type))
        malformed(std::string(kind) + " must start with type " + std::to_string(static_cast<int>(type)));
    return items;
}

RpcError remoteError(const msgpack::object& error)
{
    if (error.type != msgpack::type::MAP)
        malformed("response error must be a map, got " + std::string(typeName(error)));
    std::optional<std::int64_t> code;
    std::optional<std::string> message;
    for (const auto& entry : std::span(error.via.map.ptr, error.via.map.size)) {
        if (entry.key.type != msgpack::type::STR)
            continue;
        const std::string_view key(entry.key.via.str.ptr, entry.key.via.str.size);
        if (key == "code" && entry.val.type == msgpack::type::POSITIVE_INTEGER &&
            entry.val.via.u64 <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            code = static_cast<std::int64_t>(entry.val.via.u64);
        else if (key == "code" && entry.val.type == msgpack::type::NEGATIVE_INTEGER)
            code = entry.val.via.i64;
        else if (key == "message" && entry.val.type == msgpack::type::STR)
            message = std::string(entry.val.via.str.ptr, entry.val.via.str.size);
    }
    if (!code || !message)
        malformed("response error must hold an integer \"code\" and a string \"message\"");
    return RpcError(static_cast<RpcErrorCode>(*code), *message);
}

} // namespace

msgpack::object_handle unpackWhole(std::string_view bytes, const RpcLimits& limits, std::string_view what)
{
    FrameScanner::requireWhole(bytes, limits, what);
    const msgpack::unpack_limit caps(limits.maxElements, limits.maxElements, limits.maxFrameBytes, limits.maxFrameBytes,
                                     limits.maxFrameBytes, limits.maxDepth);
    try {
        return msgpack::unpack(bytes.data(), bytes.size(), nullptr, nullptr, caps);
    } catch (const std::exception& e) {
        malformed(std::string(what) + " is not valid MessagePack: " + e.what());
    }
}

Request parseRequest(const msgpack::object& frame)
{
    const auto items = envelope(frame, MessageType::Request, "request");
    Request request;
    request.id = messageId(items[1], "request");
    if (items[2].type != msgpack::type::STR)
        malformed("request method must be a string, got " + std::string(typeName(items[2])));
    request.method = std::string_view(items[2].via.str.ptr, items[2].via.str.size);
    if (items[3].type != msgpack::type::ARRAY)
        malformed("request params must be an array, got " + std::string(typeName(items[3])));
    request.params = arrayItems(items[3]);
    return request;
}

Response parseResponse(const msgpack::object& frame)
{
    const auto items = envelope(frame, MessageType::Response, "response");
    Response response;
    if (items[1].type != msgpack::type::NIL)
        response.id = messageId(items[1], "response");
    if (items[2].type != msgpack::type::NIL)
        response.error = remoteError(items[2]);
    else if (!response.id)
        malformed("response without id must carry an error");
    response.result = &items[3];
    return response;
}

void packRequestHead(Buffer& out, std::uint32_t id, std::string_view method, std::uint32_t paramCount)
{
    Packer packer(out);
    packer.pack_array(4);
    packer.pack_uint64(static_cast<std::uint64_t>(MessageType::Request));
    packer.pack_uint32(id);
    packString(out, method);
    packer.pack_array(paramCount);
}

void packResultHead(Buffer& out, std::uint32_t id)
{
    Packer packer(out);
    packer.pack_array(4);
    packer.pack_uint64(static_cast<std::uint64_t>(MessageType::Response));
    packer.pack_uint32(id);
    packer.pack_nil();
}

void packError(Buffer& out, std::optional<std::uint32_t> id, RpcErrorCode code, std::string_view message)
{
    Packer packer(out);
    packer.pack_array(4);
    packer.pack_uint64(static_cast<std::uint64_t>(MessageType::Response));
    if (id)
        packer.pack_uint32(*id);
    else
        packer.pack_nil();
    packer.pack_map(2);
    packString(out, "code");
    packer.pack_int64(static_cast<std::int64_t>(code));
    packString(out, "message");
    packString(out, message);
    packer.pack_nil();
}

void packString(Buffer& out, std::string_view text)
{
    Packer packer(out);
    packer.pack_str(static_cast<std::uint32_t>(text.size()));
    packer.pack_str_body(text.data(), static_cast<std::uint32_t>(text.size()));
}

void packFloat(Buffer& out, double value)
{
    char bytes[9];
    bytes[0] = static_cast<char>(0xcb);
    auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 8; i >= 1; --i, bits >>= 8)
        bytes[i] = static_cast<char>(bits & 0xff);
    out.write(bytes, sizeof bytes);
}

void packExt(Buffer& out, ExtType type, std::string_view payload)
{
    Packer packer(out);
    packer.pack_ext(payload.size(), static_cast<std::int8_t>(type));
    packer.pack_ext_body(payload.data(), static_cast<std::uint32_t>(payload.size()));
}

std::string_view typeName(const msgpack::object& object)
{
    switch (object.type) {
    case msgpack::type::NIL: return "nil";
    case msgpack::type::BOOLEAN: return "boolean";
    case msgpack::type::POSITIVE_INTEGER:
    case msgpack::type::NEGATIVE_INTEGER: return "integer";
    case msgpack::type::FLOAT32:
    case msgpack::type::FLOAT64: return "float";
    case msgpack::type::STR: return "string";
    case msgpack::type::BIN: return "binary";
    case msgpack::type::ARRAY: return "array";
    case msgpack::type::MAP: return "map";
    case msgpack::type::EXT: return "extension";
    }
    return "unknown";
}

} // namespace orvane::wire
