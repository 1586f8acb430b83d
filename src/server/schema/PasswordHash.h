#pragma once
// Passwords are never stored: a login keeps a salted PBKDF2-HMAC-SHA256 hash, written as
// "pbkdf2-sha256$<iterations>$<salt hex>$<hash hex>" (OpenSSL's libcrypto).
// Thread-safe.

#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

// The crypto library refused to make a salt or a hash; the text carries its reason.
class PasswordHashError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Hashes a password with a fresh random salt; raises PasswordHashError when the crypto
// library fails.
std::string hashPassword(std::string_view password, int iterations = 100000);
// True when the password matches a stored hash; false for a hash in an unknown form.
bool verifyPassword(std::string_view password, std::string_view stored);

} // namespace orvane
