#include "platform/rpc/FrameReader.h"

namespace orvane {

void FrameReader::append(std::string_view bytes)
{
    // Drop consumed frames before growing, so the buffer stays about one frame long.
    if (begin_ > 0 && (begin_ == buffer_.size() || begin_ >= buffer_.size() / 2)) {
        buffer_.erase(0, begin_);
        begin_ = 0;
    }
    buffer_.append(bytes);
}

std::optional<std::string_view> FrameReader::next()
{
    const std::string_view pending = std::string_view(buffer_).substr(begin_);
    const auto length = scanner_.scan(pending);
    if (!length)
        return std::nullopt;
    scanner_.reset();
    begin_ += *length;
    return pending.substr(0, *length);
}

} // namespace orvane
