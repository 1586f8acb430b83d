#pragma once
// The pair of functions that transcode strings between the client's data code page
// and the wire's UTF-8. Empty functions mean the bytes are passed unchanged.

#include <functional>
#include <string>
#include <string_view>

namespace orvane {

struct TextCodec {
    using Convert = std::function<std::string(std::string_view)>;

    Convert toWire;   // client code page -> UTF-8
    Convert fromWire; // UTF-8 -> client code page

    std::string encode(std::string_view text) const { return toWire ? toWire(text) : std::string(text); }
    std::string decode(std::string_view text) const { return fromWire ? fromWire(text) : std::string(text); }
};

} // namespace orvane
