#pragma once
// Splits a byte stream into frames: MessagePack-RPC frames are concatenated
// MessagePack values without a length prefix. One reader per connection; not
// thread-safe.

#include "platform/rpc/FrameScanner.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

class FrameReader {
public:
    explicit FrameReader(const RpcLimits& limits) : scanner_(limits) {}

    // Appends bytes received from the peer.
    void append(std::string_view bytes);
    // The next complete frame, or nullopt while its bytes are still missing. The
    // view stays valid until the next call to append() or next(). Raises
    // RpcError(MalformedFrame) when the stream breaks the limits or the format;
    // the stream cannot be resynchronised afterwards.
    std::optional<std::string_view> next();
    // True when no partial frame is buffered.
    bool idle() const { return begin_ == buffer_.size(); }
    // Bytes received and not yet returned as frames.
    std::size_t buffered() const { return buffer_.size() - begin_; }
    // New limits for the frames not yet started; call between frames.
    void setLimits(const RpcLimits& limits) { scanner_.setLimits(limits); }

private:
    FrameScanner scanner_;
    std::string buffer_;
    std::size_t begin_ = 0; // start of the frame being scanned
};

} // namespace orvane
