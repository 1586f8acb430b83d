#pragma once
// Splits a byte stream into frames: MessagePack-RPC frames are concatenated
// MessagePack values without a length prefix. One reader per connection; not
// thread-safe.

#include "platform/rpc/FrameScanner.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class FrameReader {
public:
    explicit FrameReader(const RpcLimits& limits) : scanner_(limits) {}

    // Appends bytes received from the peer.
    void append(std::string_view bytes);
    // The next complete frame, or nullopt while its bytes are still missing. The
    // view stays valid until the next call to append(). Raises
    // RpcError(MalformedFrame) when the stream breaks the limits or the format;
    // the stream cannot be resynchronised afterwards.
    std::optional<std::string_view> next();
    // The complete frames received after the last one next() gave, at most `most`, without
    // taking them: what the peer sent together with it. Stops short of a frame that breaks the
    // format, which next() reports in its turn. Views valid as next()'s.
    std::vector<std::string_view> following(std::size_t most) const;
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
