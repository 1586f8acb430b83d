#pragma once
// Caps applied to every frame before anything is allocated for it, so that a peer
// that sends garbage or declares huge lengths cannot exhaust memory or the stack.

#include <cstddef>

namespace orvane {

struct RpcLimits {
    // Largest frame (one whole request or response) in bytes.
    std::size_t maxFrameBytes = std::size_t{64} << 20;
    // Deepest nesting of arrays and maps in a frame, envelope included.
    std::size_t maxDepth = 32;
    // Most array elements and map entries declared in one frame, all containers together.
    std::size_t maxElements = std::size_t{1} << 22;
};

} // namespace orvane
