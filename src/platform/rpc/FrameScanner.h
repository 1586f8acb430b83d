#pragma once
// Finds where one MessagePack value ends without building it, checking the frame
// limits on the way: a declared length is checked against the size cap before any
// of its bytes are waited for, and nothing is allocated for declared element counts.
// The scan resumes where it stopped when more bytes arrive.

#include "platform/rpc/RpcLimits.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace orvane {

class FrameScanner {
public:
    explicit FrameScanner(const RpcLimits& limits) : limits_(limits) {}

    // Scans `bytes`, which start at the first byte of the value and grow between
    // calls. Returns the length of the value once it is complete, nullopt while
    // bytes are missing. Raises RpcError(MalformedFrame) for an invalid byte or a
    // limit exceeded.
    std::optional<std::size_t> scan(std::string_view bytes);
    // Forgets the scanned value, ready for the next one.
    void reset();
    // New limits for the values scanned from now on; call between values.
    void setLimits(const RpcLimits& limits) { limits_ = limits; }

    // Checks that `bytes` hold exactly one complete value within the limits;
    // raises RpcError(MalformedFrame) otherwise. `what` names the bytes in texts.
    static void requireWhole(std::string_view bytes, const RpcLimits& limits, std::string_view what);

private:
    // Header of one item: its own size, and either the payload size that follows
    // (scalars, strings, binaries, extensions) or the number of items it contains.
    struct Header {
        std::size_t headerBytes = 0;
        std::uint64_t payloadBytes = 0;
        std::uint64_t children = 0;
        bool container = false;
    };

    std::optional<Header> readHeader(std::string_view bytes) const;
    void openContainer(std::uint64_t children);
    // Refuses a container that would nest deeper than the limit.
    void checkDepth() const;
    // Counts one finished item; true when the whole value is finished.
    bool finishItem();

    RpcLimits limits_;
    std::size_t pos_ = 0;                // start of the next item header
    std::uint64_t elements_ = 0;         // elements declared so far
    std::vector<std::uint64_t> pending_; // items still expected in each open container
};

} // namespace orvane
