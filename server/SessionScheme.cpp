#include "server/SessionScheme.h"

#include "base/KaHex.h"
#include "base/KaExceptions.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

namespace {

// Identifier layout before hex encoding: 4 bytes creation time (big-endian
// seconds), 4 random bytes, 8 bytes of the MAC over the first eight.
constexpr size_t StampBytes = 8;
constexpr size_t MacBytes = 8;
// A clock step between server processes may make an identifier look a little
// younger than its maker's clock said.
constexpr int64_t ClockSkew = 300;

// Domain labels keep identifier MACs and keys from ever being the same value.
const std::string IdLabel = "websetup-session-id";
const std::string KeyLabel = "websetup-session-key";

} // namespace

TSessionScheme::TSessionScheme(std::string secret, int64_t lifetimeSeconds)
    : FSecret(std::move(secret)), FLifetime(lifetimeSeconds) {
  if (FSecret.size() < SecretSize)
    throw Exception("The session secret is too short");
}

std::string TSessionScheme::Mac(const std::string& data) const {
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!HMAC(EVP_sha256(), FSecret.data(), static_cast<int>(FSecret.size()),
            reinterpret_cast<const unsigned char*>(data.data()), data.size(), out, &length))
    throw Exception("HMAC-SHA-256 failed");
  return std::string(reinterpret_cast<char*>(out), length);
}

std::string TSessionScheme::NewId(int64_t now) const {
  std::string stamp(StampBytes, '\0');
  uint32_t t = static_cast<uint32_t>(now);
  for (int i = 0; i < 4; ++i)
    stamp[i] = static_cast<char>(t >> (24 - 8 * i));
  if (RAND_bytes(reinterpret_cast<unsigned char*>(&stamp[4]), 4) != 1)
    throw Exception("The system's random generator failed");
  return ToHex(stamp + Mac(IdLabel + stamp).substr(0, MacBytes));
}

bool TSessionScheme::IsValid(const std::string& id, int64_t now) const {
  std::string bytes;
  if (id.size() != IdLength || !FromHex(id, bytes))
    return false;
  std::string stamp = bytes.substr(0, StampBytes);
  std::string mac = Mac(IdLabel + stamp);
  if (CRYPTO_memcmp(mac.data(), bytes.data() + StampBytes, MacBytes) != 0)
    return false;
  uint32_t t = 0;
  for (int i = 0; i < 4; ++i)
    t = (t << 8) | static_cast<unsigned char>(stamp[i]);
  int64_t age = now - static_cast<int64_t>(t);
  return age >= -ClockSkew && age <= FLifetime;
}

std::string TSessionScheme::Key(const std::string& id, uint8_t sequence) const {
  return Mac(KeyLabel + id + static_cast<char>(sequence)).substr(0, KeySize);
}

std::string TSessionScheme::RandomSecret() {
  std::string secret(SecretSize, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(secret.data()), SecretSize) != 1)
    throw Exception("The system's random generator failed");
  return secret;
}
