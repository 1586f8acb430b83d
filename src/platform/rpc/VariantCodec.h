#pragma once
// Variant <-> MessagePack. Scalars map to MessagePack's own types; Unassigned,
// arrays with other bounds or two dimensions, and dispatch objects use the
// extension types of the protocol. Objects cross as handles, which each end's
// HandleMapper translates. Thread: the caller's. A codec counts the values it decodes
// against the frame's element limit, nested array payloads included: use one per frame.

#include "platform/rpc/RpcLimits.h"
#include "platform/rpc/TextCodec.h"
#include "platform/rpc/Wire.h"
#include "platform/variant/Variant.h"

#include <cstdint>

namespace orvane {

// Translates dispatch objects to the handles that stand for them on the wire.
class HandleMapper {
public:
    // The handle that stands for `object`; raises RpcError when it cannot cross.
    virtual std::uint64_t handleFor(const DispatchPtr& object) = 0;
    // The object a received handle stands for; raises RpcError(UnknownHandle).
    virtual DispatchPtr objectFor(std::uint64_t handle) = 0;

protected:
    ~HandleMapper() = default;
};

class VariantCodec {
public:
    // Handles are positive; 0 never stands for an object.
    static constexpr std::uint64_t invalidHandle = 0;

    VariantCodec(HandleMapper& handles, const RpcLimits& limits, const TextCodec& text)
        : handles_(handles), limits_(limits), text_(text)
    {}

    // Raises RpcError(InvalidArguments) for a value that cannot cross: nested too
    // deep, a string too long for MessagePack, an object the mapper refuses.
    void encode(wire::Buffer& out, const Variant& value) const;
    // Raises RpcError(MalformedFrame) for anything that is not a variant of the
    // protocol, RpcError(UnknownHandle) for an object handle the mapper rejects.
    Variant decode(const msgpack::object& in) const;

    // Strings outside variants (names, messages) take the same transcoding.
    void encodeText(wire::Buffer& out, std::string_view text) const;
    std::string decodeText(const msgpack::object& in, std::string_view what) const;

private:
    void encodeAt(wire::Buffer& out, const Variant& value, std::size_t depth) const;
    void encodeArray(wire::Buffer& out, const VariantArray& array, std::size_t depth) const;
    void encodeObject(wire::Buffer& out, const DispatchPtr& object) const;
    Variant decodeAt(const msgpack::object& in, std::size_t depth) const;
    Variant decodeExt(const msgpack::object& in, std::size_t depth) const;
    Variant decodeBoundedArray(std::string_view payload, std::size_t depth) const;
    Variant decodeObject(std::string_view payload) const;

    // Counts one more decoded value; raises RpcError(MalformedFrame) past the limit.
    void countValue() const;

    HandleMapper& handles_;
    const RpcLimits& limits_;
    const TextCodec& text_;
    mutable std::size_t decoded_ = 0;
};

} // namespace orvane
