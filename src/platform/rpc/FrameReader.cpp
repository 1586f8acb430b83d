#include "platform/rpc/FrameReader.h"

#include "platform/rpc/RpcError.h"

namespace orvane {

namespace {

constexpr std::size_t shrinkAbove = std::size_t{1} << 20;
// How far following() looks: calls sent together to be announced are small, and a large frame
// still arriving is not scanned again for each frame before it.
constexpr std::size_t followingBytes = 64 * 1024;

} // namespace

void FrameReader::append(std::string_view bytes)
{
    // Drop consumed frames before growing, so the buffer stays about one frame long.
    if (begin_ > 0 && (begin_ == buffer_.size() || begin_ >= buffer_.size() / 2)) {
        buffer_.erase(0, begin_);
        begin_ = 0;
    }
    // A large frame once received must not keep its memory for the rest of the connection.
    if (buffer_.empty() && buffer_.capacity() > shrinkAbove)
        std::string().swap(buffer_);
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

std::vector<std::string_view> FrameReader::following(std::size_t most) const
{
    std::vector<std::string_view> frames;
    std::string_view rest = std::string_view(buffer_).substr(begin_, followingBytes);
    FrameScanner probe(scanner_);
    probe.reset();
    try {
        while (frames.size() < most && !rest.empty()) {
            const auto length = probe.scan(rest);
            if (!length)
                break;
            frames.push_back(rest.substr(0, *length));
            rest.remove_prefix(*length);
            probe.reset();
        }
    } catch (const RpcError&) {
        // next() raises it when it comes to that frame.
    }
    return frames;
}

} // namespace orvane
