#include "platform/rpc/FrameScanner.h"

#include "platform/rpc/RpcError.h"

#include <string>

namespace orvane {

namespace {

std::uint64_t bigEndian(std::string_view bytes, std::size_t at, std::size_t count)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Fixed sizes of the headers whose length field has `lengthBytes` bytes.
struct Sized {
    std::size_t lengthBytes;
    std::size_t extra; // type byte of extensions
};

} // namespace

std::optional<FrameScanner::Header> FrameScanner::readHeader(std::string_view bytes) const
{
    const auto available = bytes.size() - pos_;
    const auto lead = static_cast<unsigned char>(bytes[pos_]);
    auto scalar = [](std::size_t size) { return Header{1, size - 1, 0, false}; };
    auto container = [](std::size_t headerBytes, std::uint64_t children) {
        return Header{headerBytes, 0, children, true};
    };
    // Headers with a length field: read the length once its bytes are there.
    auto sized = [&](Sized s, bool isContainer, std::uint64_t perChild) -> std::optional<Header> {
        const auto headerBytes = 1 + s.lengthBytes + s.extra;
        if (available < headerBytes)
            return std::nullopt;
        const auto length = bigEndian(bytes, pos_ + 1, s.lengthBytes);
        if (isContainer)
            return container(headerBytes, length * perChild);
        return Header{headerBytes, length, 0, false};
    };

    if (lead <= 0x7f || lead >= 0xe0)
        return scalar(1); // fixint
    if (lead <= 0x8f)
        return container(1, std::uint64_t{lead & 0x0fu} * 2); // fixmap
    if (lead <= 0x9f)
        return container(1, lead & 0x0fu); // fixarray
    if (lead <= 0xbf)
        return Header{1, std::uint64_t{lead & 0x1fu}, 0, false}; // fixstr
    switch (lead) {
    case 0xc0:
    case 0xc2:
    case 0xc3: return scalar(1);
    case 0xc4: return sized({1, 0}, false, 0);
    case 0xc5: return sized({2, 0}, false, 0);
    case 0xc6: return sized({4, 0}, false, 0);
    case 0xc7: return sized({1, 1}, false, 0);
    case 0xc8: return sized({2, 1}, false, 0);
    case 0xc9: return sized({4, 1}, false, 0);
    case 0xca: return scalar(5);
    case 0xcb: return scalar(9);
    case 0xcc:
    case 0xd0: return scalar(2);
    case 0xcd:
    case 0xd1: return scalar(3);
    case 0xce:
    case 0xd2: return scalar(5);
    case 0xcf:
    case 0xd3: return scalar(9);
    case 0xd4: return scalar(3);
    case 0xd5: return scalar(4);
    case 0xd6: return scalar(6);
    case 0xd7: return scalar(10);
    case 0xd8: return scalar(18);
    case 0xd9: return sized({1, 0}, false, 0);
    case 0xda: return sized({2, 0}, false, 0);
    case 0xdb: return sized({4, 0}, false, 0);
    case 0xdc: return sized({2, 0}, true, 1);
    case 0xdd: return sized({4, 0}, true, 1);
    case 0xde: return sized({2, 0}, true, 2);
    case 0xdf: return sized({4, 0}, true, 2);
    default: break;
    }
    throwMalformed("invalid MessagePack byte 0xc1 at offset " + std::to_string(pos_));
}

std::optional<std::size_t> FrameScanner::scan(std::string_view bytes)
{
    while (pos_ < bytes.size()) {
        const auto header = readHeader(bytes);
        if (!header)
            return std::nullopt;
        const auto end = pos_ + header->headerBytes + header->payloadBytes;
        if (end > limits_.maxFrameBytes)
            throwMalformed("frame of at least " + std::to_string(end) + " bytes exceeds the limit of " +
                           std::to_string(limits_.maxFrameBytes) + " bytes");
        if (end > bytes.size())
            return std::nullopt;
        pos_ = end;
        if (header->container) {
            // An empty container is one level deeper too, as the decoder counts it.
            checkDepth();
            if (header->children > 0) {
                openContainer(header->children);
                continue;
            }
        }
        if (finishItem())
            return pos_;
    }
    return std::nullopt;
}

void FrameScanner::openContainer(std::uint64_t children)
{
    elements_ += children;
    if (elements_ > limits_.maxElements)
        throwMalformed("frame declares " + std::to_string(elements_) + " elements, more than the limit of " +
                       std::to_string(limits_.maxElements));
    pending_.push_back(children);
}

void FrameScanner::checkDepth() const
{
    if (pending_.size() + 1 > limits_.maxDepth)
        throwMalformed("frame nests deeper than the limit of " + std::to_string(limits_.maxDepth) + " levels");
}

bool FrameScanner::finishItem()
{
    while (!pending_.empty()) {
        if (--pending_.back() > 0)
            return false;
        pending_.pop_back();
    }
    return true;
}

void FrameScanner::reset()
{
    pos_ = 0;
    elements_ = 0;
    pending_.clear();
}

void FrameScanner::requireWhole(std::string_view bytes, const RpcLimits& limits, std::string_view what)
{
    FrameScanner scanner(limits);
    const auto length = scanner.scan(bytes);
    if (!length)
        throwMalformed(std::string(what) + " is truncated (" + std::to_string(bytes.size()) + " bytes)");
    if (*length != bytes.size())
        throwMalformed(std::string(what) + " has " + std::to_string(bytes.size() - *length) + " bytes after its end");
}

} // namespace orvane
