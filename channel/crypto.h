// Password hashes (argon2id at libsodium's interactive limits) and random tokens, on libsodium.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tundrix::channel {

// Initialises libsodium; false if the machine offers it no randomness.
bool initCrypto();

// An argon2id hash string with its own salt and limits; nothing if memory ran out.
std::optional<std::string> hashPassword(std::string_view password);
bool verifyPassword(const std::string& hash, std::string_view password);

// 32 random bytes as 64 lowercase hex digits.
std::string randomToken();
// A digest of a token to keep in the database instead of the token itself.
std::string tokenDigest(std::string_view token);
// Compares two texts in time that does not depend on where they differ.
bool sameSecret(std::string_view a, std::string_view b);

} // namespace tundrix::channel
