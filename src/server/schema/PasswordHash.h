#pragma once
// Passwords are never stored: a login keeps a salted PBKDF2-HMAC-SHA256 hash, written as
// "pbkdf2-sha256$<iterations>$<salt hex>$<hash hex>" (OpenSSL's libcrypto).
// Thread-safe.

#include <string>
#include <string_view>

namespace orvane {

// Hashes a password with a fresh random salt.
std::string hashPassword(std::string_view password, int iterations = 100000);
// True when the password matches a stored hash; false for a hash in an unknown form.
bool verifyPassword(std::string_view password, std::string_view stored);

} // namespace orvane
