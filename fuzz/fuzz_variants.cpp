// The variant codec: any MessagePack value decoded as a variant under small limits; what
// decodes must encode to the sender's forms, and those must decode and encode to the same bytes.

#include "platform/rpc/VariantCodec.h"

#include <cstdlib>

using namespace orvane;

namespace {

// Knows no objects: every handle is refused, as a session without objects refuses it.
class NoObjects : public HandleMapper {
public:
    std::uint64_t handleFor(const DispatchPtr&) override { std::abort(); }
    DispatchPtr objectFor(std::uint64_t handle) override
    {
        throw RpcError(RpcErrorCode::UnknownHandle, "unknown object handle " + std::to_string(handle));
    }
};

std::string encode(const VariantCodec& codec, const Variant& value)
{
    wire::Buffer out;
    codec.encode(out, value);
    return std::string(out.data(), out.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RpcLimits limits;
    limits.maxFrameBytes = 4096;
    limits.maxDepth = 8;
    limits.maxElements = 512;
    NoObjects objects;
    const TextCodec text;
    Variant value;
    try {
        const auto unpacked = wire::unpackWhole({reinterpret_cast<const char*>(data), size}, limits, "value");
        value = VariantCodec(objects, limits, text).decode(unpacked.get());
    } catch (const RpcError&) {
        return 0;
    }
    const auto sent = encode(VariantCodec(objects, limits, text), value);
    const auto again = wire::unpackWhole(sent, limits, "re-encoded value");
    if (encode(VariantCodec(objects, limits, text), VariantCodec(objects, limits, text).decode(again.get())) != sent)
        std::abort();
    return 0;
}
