#pragma once

#include <string>

namespace vorlen::ladder {

// Secrets of the web face, on libsodium. Every function may be called from
// any thread once the library is ready.

// False when libsodium cannot start (no randomness to be had).
bool credentialsReady();
// A password as Argon2id's own string (its salt and costs with the hash;
// libsodium's interactive costs: 64 MiB, two passes); empty when the memory
// is not to be had.
std::string hashPassword(const std::string& password);
bool passwordMatches(const std::string& hashed, const std::string& password);
// 32 random bytes as 64 hexadecimal digits: a session, an API token, a form's token.
std::string randomToken();
// What the database keeps of a token: its SHA-256, in hexadecimal.
std::string tokenHash(const std::string& token);
// Compared in a time that does not tell where they differ.
bool sameSecret(const std::string& a, const std::string& b);

} // namespace vorlen::ladder
