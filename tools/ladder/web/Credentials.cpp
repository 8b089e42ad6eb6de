#include "Credentials.h"

#include <sodium.h>

namespace vorlen::ladder {

bool credentialsReady() { return sodium_init() >= 0; }

std::string hashPassword(const std::string& password)
{
    char hashed[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hashed, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        return {};
    return hashed;
}

bool passwordMatches(const std::string& hashed, const std::string& password)
{
    return !hashed.empty() && crypto_pwhash_str_verify(hashed.c_str(), password.data(), password.size()) == 0;
}

namespace {

std::string hex(const unsigned char* bytes, std::size_t size)
{
    std::string text(size * 2 + 1, '\0');
    sodium_bin2hex(text.data(), text.size(), bytes, size);
    text.pop_back();
    return text;
}

} // namespace

std::string randomToken()
{
    unsigned char bytes[32];
    randombytes_buf(bytes, sizeof bytes);
    return hex(bytes, sizeof bytes);
}

std::string tokenHash(const std::string& token)
{
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(token.data()), token.size());
    return hex(digest, sizeof digest);
}

bool sameSecret(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && !a.empty() && sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace vorlen::ladder
