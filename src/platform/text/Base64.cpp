#include "platform/text/Base64.h"

#include <array>
#include <cstdint>

namespace orvane::text {

namespace {

constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::int8_t notBase64 = -1;

constexpr std::array<std::int8_t, 256> decodingTable()
{
    std::array<std::int8_t, 256> table{};
    table.fill(notBase64);
    for (std::size_t i = 0; i < alphabet.size(); ++i)
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}

constexpr std::array<std::int8_t, 256> sextets = decodingTable();

} // namespace

std::string toBase64(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            out += k <= count ? alphabet[(group >> (18 - 6 * k)) & 0x3f] : '=';
    }
    return out;
}

std::optional<std::string> fromBase64(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        std::size_t padding = 0;
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            // "=" only closes the last group, in its last one or two places.
            if (c == '=' && last && k >= 2 && text[i + 3] == '=') {
                ++padding;
                group <<= 6;
                continue;
            }
            const std::int8_t value = sextets[static_cast<unsigned char>(c)];
            if (value == notBase64 || padding > 0)
                return std::nullopt;
            group = (group << 6) | static_cast<std::uint32_t>(value);
        }
        for (std::size_t k = 0; k < 3 - padding; ++k)
            out += static_cast<char>((group >> (16 - 8 * k)) & 0xff);
    }
    return out;
}

} // namespace orvane::text
