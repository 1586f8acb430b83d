#include "framework/PackedVariant.h"

#include "platform/rpc/VariantCodec.h"

namespace orvane {
namespace {

// Packed values carry no objects: every handle is refused.
class NoHandles : public HandleMapper {
public:
    std::uint64_t handleFor(const DispatchPtr&) override
    {
        throw RpcError(RpcErrorCode::InvalidArguments, "an object cannot be packed");
    }
    DispatchPtr objectFor(std::uint64_t) override
    {
        throw RpcError(RpcErrorCode::UnknownHandle, "packed values hold no objects");
    }
};

} // namespace

std::string packVariant(const Variant& value)
{
    NoHandles handles;
    const RpcLimits limits;
    const TextCodec text;
    wire::Buffer out;
    VariantCodec(handles, limits, text).encode(out, value);
    return {out.data(), out.size()};
}

Variant unpackVariant(std::string_view bytes, std::string_view what)
{
    NoHandles handles;
    const RpcLimits limits;
    const TextCodec text;
    try {
        const msgpack::object_handle unpacked = wire::unpackWhole(bytes, limits, what);
        return VariantCodec(handles, limits, text).decode(unpacked.get());
    } catch (const RpcError& e) {
        throw PackedVariantError(std::string(what) + ": " + e.what());
    }
}

} // namespace orvane
