// The wire frame decoder: a byte stream, cut into two chunks at a point the input chooses,
// split into frames under small limits, each frame unpacked and read as a request.
// Whatever the scanner accepts as one frame, MessagePack must read as one value, and the frames
// the reader shows as following one are those it then gives.

#include "platform/rpc/FrameReader.h"
#include "platform/rpc/Wire.h"

#include <cstdlib>
#include <deque>
#include <string>

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t cut = std::min<std::size_t>(data[0], bytes.size());
    RpcLimits limits;
    limits.maxFrameBytes = 4096;
    limits.maxDepth = 8;
    limits.maxElements = 512;
    FrameReader reader(limits);
    try {
        reader.append(bytes.substr(0, cut));
        while (reader.next()) {
        }
        reader.append(bytes.substr(cut));
        std::deque<std::string> shown;
        while (const auto frame = reader.next()) {
            if (!shown.empty()) {
                if (shown.front() != *frame)
                    std::abort(); // following() showed another frame than next() gave
                shown.pop_front();
            }
            if (shown.empty())
                for (const std::string_view next : reader.following(4))
                    shown.emplace_back(next);
            msgpack::object_handle unpacked;
            try {
                unpacked = wire::unpackWhole(*frame, limits, "frame");
            } catch (const RpcError&) {
                std::abort(); // the scanner and MessagePack disagree on where a value ends
            }
            try {
                wire::parseRequest(unpacked.get());
            } catch (const RpcError&) {
            }
        }
    } catch (const RpcError&) {
    }
    return 0;
}
