#include "server/schema/PasswordHash.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <charconv>
#include <optional>
#include <vector>

namespace orvane {

namespace {

constexpr std::string_view scheme = "pbkdf2-sha256";
constexpr std::size_t saltBytes = 16;
constexpr std::size_t hashBytes = 32;

// The reason of OpenSSL's latest failure, for error texts.
std::string cryptoReason()
{
    const unsigned long code = ERR_get_error();
    if (code == 0)
        return "no reason given";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

std::string toHex(const std::vector<unsigned char>& bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 0xF];
    }
    return out;
}

std::optional<std::vector<unsigned char>> fromHex(std::string_view text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::vector<unsigned char> out(text.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto [end, ec] = std::from_chars(text.data() + 2 * i, text.data() + 2 * i + 2, out[i], 16);
        if (ec != std::errc() || end != text.data() + 2 * i + 2)
            return std::nullopt;
    }
    return out;
}

std::vector<unsigned char> derive(std::string_view password, const std::vector<unsigned char>& salt, int iterations,
                                  std::size_t length)
{
    std::vector<unsigned char> out(length);
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), iterations, EVP_sha256(), static_cast<int>(out.size()),
                          out.data()) != 1)
        throw PasswordHashError("Password hashing failed: PBKDF2-HMAC-SHA256 with " + std::to_string(iterations) +
                                " iterations was refused: " + cryptoReason());
    return out;
}

} // namespace

std::string hashPassword(std::string_view password, int iterations)
{
    std::vector<unsigned char> salt(saltBytes);
    if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1)
        throw PasswordHashError("Password hashing failed: no random salt available: " + cryptoReason());
    return std::string(scheme) + "$" + std::to_string(iterations) + "$" + toHex(salt) + "$" +
           toHex(derive(password, salt, iterations, hashBytes));
}

bool verifyPassword(std::string_view password, std::string_view stored)
{
    const std::size_t p1 = stored.find('$');
    const std::size_t p2 = stored.find('$', p1 + 1);
    const std::size_t p3 = stored.find('$', p2 + 1);
    if (p1 == std::string_view::npos || p2 == std::string_view::npos || p3 == std::string_view::npos ||
        stored.substr(0, p1) != scheme)
        return false;
    int iterations = 0;
    const auto [end, ec] = std::from_chars(stored.data() + p1 + 1, stored.data() + p2, iterations);
    const auto salt = fromHex(stored.substr(p2 + 1, p3 - p2 - 1));
    const auto hash = fromHex(stored.substr(p3 + 1));
    if (ec != std::errc() || end != stored.data() + p2 || iterations < 1 || !salt || !hash || hash->empty())
        return false;
    const auto computed = derive(password, *salt, iterations, hash->size());
    return CRYPTO_memcmp(computed.data(), hash->data(), computed.size()) == 0;
}

} // namespace orvane
