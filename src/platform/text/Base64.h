#pragma once
// Base64 (RFC 4648: the standard alphabet, "=" padding, no line breaks): bytes as text that
// passes unchanged through every code page, for file contents that travel as variant text.
// Callable from any thread.

#include <optional>
#include <string>
#include <string_view>

namespace orvane::text {

std::string toBase64(std::string_view bytes);
// The bytes of base64 text; nullopt when the length is not a multiple of four, a character is
// outside the alphabet, or "=" stands anywhere but in the last one or two places.
std::optional<std::string> fromBase64(std::string_view text);

} // namespace orvane::text
