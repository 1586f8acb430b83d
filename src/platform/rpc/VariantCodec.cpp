#include "platform/rpc/VariantCodec.h"

#include "platform/rpc/RpcError.h"

#include <algorithm>
#include <limits>

namespace orvane {

namespace {

[[noreturn]] void cannotEncode(const std::string& text)
{
    throw RpcError(RpcErrorCode::InvalidArguments, text);
}

std::string_view payloadOf(const msgpack::object& ext)
{
    return {ext.via.ext.data(), ext.via.ext.size};
}

std::int64_t integerOf(const msgpack::object& in, std::string_view what)
{
    if (in.type == msgpack::type::NEGATIVE_INTEGER)
        return in.via.i64;
    if (in.type == msgpack::type::POSITIVE_INTEGER &&
        in.via.u64 <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return static_cast<std::int64_t>(in.via.u64);
    if (in.type == msgpack::type::POSITIVE_INTEGER)
        throwMalformed(std::string(what) + " " + std::to_string(in.via.u64) + " is out of range");
    throwMalformed(std::string(what) + " must be an integer, got " + std::string(wire::typeName(in)));
}

// Bounds of one dimension from its [low, count] pair, checked to fit an int.
ArrayBounds boundsOf(const msgpack::object& pair, int dimension)
{
    const auto what = "array dimension " + std::to_string(dimension);
    if (pair.type != msgpack::type::ARRAY || pair.via.array.size != 2)
        throwMalformed(what + " must be a [low, count] pair");
    const auto low = integerOf(pair.via.array.ptr[0], what + " low bound");
    const auto count = integerOf(pair.via.array.ptr[1], what + " count");
    const auto high = low + count - 1;
    constexpr auto intMin = std::numeric_limits<int>::min();
    constexpr auto intMax = std::numeric_limits<int>::max();
    if (low < intMin || low > intMax || count < 0 || count > intMax || high < intMin || high > intMax)
        throwMalformed(what + " bounds " + std::to_string(low) + ", count " + std::to_string(count) +
                       " are out of range");
    return ArrayBounds{static_cast<int>(low), static_cast<int>(high)};
}

} // namespace

void VariantCodec::encode(wire::Buffer& out, const Variant& value) const
{
    encodeAt(out, value, 1);
}

Variant VariantCodec::decode(const msgpack::object& in) const
{
    return decodeAt(in, 1);
}

void VariantCodec::encodeText(wire::Buffer& out, std::string_view text) const
{
    const auto wireText = text_.encode(text);
    if (wireText.size() > limits_.maxFrameBytes)
        cannotEncode("string of " + std::to_string(wireText.size()) + " bytes exceeds the frame limit of " +
                     std::to_string(limits_.maxFrameBytes) + " bytes");
    wire::packString(out, wireText);
}

std::string VariantCodec::decodeText(const msgpack::object& in, std::string_view what) const
{
    if (in.type != msgpack::type::STR)
        throwMalformed(std::string(what) + " must be a string, got " + std::string(wire::typeName(in)));
    return text_.decode(std::string_view(in.via.str.ptr, in.via.str.size));
}

void VariantCodec::encodeAt(wire::Buffer& out, const Variant& value, std::size_t depth) const
{
    if (depth > limits_.maxDepth)
        cannotEncode("value nests arrays deeper than the limit of " + std::to_string(limits_.maxDepth) + " levels");
    wire::Packer packer(out);
    switch (value.type()) {
    case VariantType::Unassigned: wire::packExt(out, wire::ExtType::Unassigned, {}); return;
    case VariantType::Null: packer.pack_nil(); return;
    case VariantType::Boolean: value.asBoolean() ? packer.pack_true() : packer.pack_false(); return;
    case VariantType::Integer: packer.pack_int64(value.asInteger()); return;
    case VariantType::Float: wire::packFloat(out, value.asFloat()); return;
    case VariantType::String: encodeText(out, value.asString()); return;
    case VariantType::Array: encodeArray(out, value.array(), depth); return;
    case VariantType::Dispatch: encodeObject(out, value.dispatch()); return;
    }
}

void VariantCodec::encodeArray(wire::Buffer& out, const VariantArray& array, std::size_t depth) const
{
    const auto elements = array.elements();
    if (elements.size() > std::numeric_limits<std::uint32_t>::max())
        cannotEncode("array of " + std::to_string(elements.size()) + " elements is too large to send");
    const auto count = static_cast<std::uint32_t>(elements.size());
    if (array.dimensions() == 1 && array.bounds(1).low == 0) {
        wire::Packer(out).pack_array(count);
        for (const auto& element : elements)
            encodeAt(out, element, depth + 1);
        return;
    }
    wire::Buffer payload;
    wire::Packer packer(payload);
    packer.pack_array(static_cast<std::uint32_t>(array.dimensions()) + 1);
    for (int dimension = 1; dimension <= array.dimensions(); ++dimension) {
        const auto bounds = array.bounds(dimension);
        packer.pack_array(2);
        packer.pack_int64(bounds.low);
        packer.pack_int64(bounds.count());
    }
    packer.pack_array(count);
    for (const auto& element : elements)
        encodeAt(payload, element, depth + 1);
    wire::packExt(out, wire::ExtType::Array, std::string_view(payload.data(), payload.size()));
}

void VariantCodec::encodeObject(wire::Buffer& out, const DispatchPtr& object) const
{
    wire::Buffer payload;
    wire::Packer(payload).pack_uint64(handles_.handleFor(object));
    wire::packExt(out, wire::ExtType::Object, std::string_view(payload.data(), payload.size()));
}

void VariantCodec::countValue() const
{
    if (++decoded_ > limits_.maxElements)
        throwMalformed("frame holds more than " + std::to_string(limits_.maxElements) +
                       " values (nested arrays included), the limit");
}

Variant VariantCodec::decodeAt(const msgpack::object& in, std::size_t depth) const
{
    if (depth > limits_.maxDepth)
        throwMalformed("value nests arrays deeper than the limit of " + std::to_string(limits_.maxDepth) + " levels");
    countValue();
    switch (in.type) {
    case msgpack::type::NIL: return Variant::null();
    case msgpack::type::BOOLEAN: return Variant(in.via.boolean);
    case msgpack::type::POSITIVE_INTEGER:
    case msgpack::type::NEGATIVE_INTEGER: return Variant(static_cast<long long>(integerOf(in, "integer")));
    case msgpack::type::FLOAT32:
    case msgpack::type::FLOAT64: return Variant(in.via.f64);
    case msgpack::type::STR: return Variant(decodeText(in, "string"));
    case msgpack::type::ARRAY: {
        std::vector<Variant> elements;
        elements.reserve(in.via.array.size);
        for (const auto& element : std::span(in.via.array.ptr, in.via.array.size))
            elements.push_back(decodeAt(element, depth + 1));
        return Variant::arrayOf(std::move(elements));
    }
    case msgpack::type::EXT: return decodeExt(in, depth);
    case msgpack::type::BIN:
    case msgpack::type::MAP: break;
    }
    throwMalformed("a MessagePack " + std::string(wire::typeName(in)) + " is not a variant");
}

Variant VariantCodec::decodeExt(const msgpack::object& in, std::size_t depth) const
{
    const auto type = in.via.ext.type();
    const auto payload = payloadOf(in);
    if (type == static_cast<std::int8_t>(wire::ExtType::Unassigned)) {
        if (!payload.empty())
            throwMalformed("unassigned variant must have an empty payload, got " + std::to_string(payload.size()) +
                           " bytes");
        return Variant();
    }
    if (type == static_cast<std::int8_t>(wire::ExtType::Array))
        return decodeBoundedArray(payload, depth);
    if (type == static_cast<std::int8_t>(wire::ExtType::Object))
        return decodeObject(payload);
    throwMalformed("extension type " + std::to_string(type) + " is not a variant");
}

Variant VariantCodec::decodeBoundedArray(std::string_view payload, std::size_t depth) const
{
    // The payload's root and its parts take two levels; its elements are variants one level down.
    // Its elements draw on what is left of the frame's budget, not on a budget of their own.
    RpcLimits payloadLimits = limits_;
    payloadLimits.maxDepth = limits_.maxDepth - depth + 2;
    payloadLimits.maxElements = limits_.maxElements - std::min(decoded_, limits_.maxElements);
    const auto handle = wire::unpackWhole(payload, payloadLimits, "array payload");
    const auto& root = handle.get();
    if (root.type != msgpack::type::ARRAY || root.via.array.size < 2 || root.via.array.size > 3)
        throwMalformed("array payload must be [[low, count], elements] or [[low, count], [low, count], elements]");
    const auto parts = std::span(root.via.array.ptr, root.via.array.size);
    const auto& items = parts.back();
    if (items.type != msgpack::type::ARRAY)
        throwMalformed("array payload elements must be an array, got " + std::string(wire::typeName(items)));
    const auto first = boundsOf(parts[0], 1);
    const auto second = parts.size() == 3 ? boundsOf(parts[1], 2) : ArrayBounds{0, 0};
    const auto expected = static_cast<std::uint64_t>(first.count()) * static_cast<std::uint64_t>(second.count());
    if (expected != items.via.array.size)
        throwMalformed("array payload declares " + std::to_string(expected) + " elements but holds " +
                       std::to_string(items.via.array.size));
    VariantArray array = parts.size() == 3 ? VariantArray(first, second) : VariantArray(first.low, first.high);
    auto target = array.elements();
    for (std::size_t i = 0; i < target.size(); ++i)
        target[i] = decodeAt(items.via.array.ptr[i], depth + 1);
    return Variant(std::move(array));
}

Variant VariantCodec::decodeObject(std::string_view payload) const
{
    const auto handle = wire::unpackWhole(payload, limits_, "object payload");
    const auto& value = handle.get();
    if (value.type != msgpack::type::POSITIVE_INTEGER || value.via.u64 == invalidHandle)
        throwMalformed("object handle must be a positive integer");
    return Variant(handles_.objectFor(value.via.u64));
}

} // namespace orvane
