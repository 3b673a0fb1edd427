#include "server/SessionScheme.h"

#include "base/KaHex.h"
#include "base/KaExceptions.h"

#include <cstring>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace {

// Identifier layout before hex encoding: 4 bytes creation time (big-endian
// seconds), 4 random bytes, 8 bytes of the MAC over the first eight.
constexpr size_t StampBytes = 8;
constexpr size_t MacBytes = 8;
// A clock step between server processes may make an identifier look a little
// younger than its maker's clock said.
constexpr int64_t ClockSkew = 300;
constexpr size_t BlockSize = 64; // of SHA-256
constexpr size_t DigestSize = 32;

// Domain labels keep identifier MACs and keys from ever being the same value.
constexpr std::string_view IdLabel = "websetup-session-id";
constexpr std::string_view KeyLabel = "websetup-session-key";

struct TMdCtxFree {
  void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
using TMdCtx = std::unique_ptr<EVP_MD_CTX, TMdCtxFree>;

TMdCtx NewMdCtx() {
  TMdCtx c(EVP_MD_CTX_new());
  if (!c)
    throw Exception("HMAC-SHA-256 failed");
  return c;
}

void Check(int ok) {
  if (ok != 1)
    throw Exception("HMAC-SHA-256 failed");
}

} // namespace

// HMAC-SHA-256 with the secret's two padded blocks hashed once: every MAC
// then starts from a copy of those states and hashes only its own bytes,
// instead of setting the key up again (most of a MAC as short as ours).
struct TSessionScheme::TPads {
  TMdCtx Inner, Outer;
};

TSessionScheme::TSessionScheme(std::string secret, int64_t lifetimeSeconds)
    : FPads(std::make_unique<TPads>()), FLifetime(lifetimeSeconds) {
  if (secret.size() < SecretSize)
    throw Exception("The session secret is too short");
  unsigned char key[BlockSize] = {};
  if (secret.size() > BlockSize) {
    unsigned int length = 0;
    Check(EVP_Digest(secret.data(), secret.size(), key, &length, EVP_sha256(), nullptr));
  } else {
    std::memcpy(key, secret.data(), secret.size());
  }
  auto pad = [&](unsigned char with) {
    unsigned char block[BlockSize];
    for (size_t i = 0; i < BlockSize; ++i)
      block[i] = key[i] ^ with;
    TMdCtx c = NewMdCtx();
    Check(EVP_DigestInit_ex(c.get(), EVP_sha256(), nullptr));
    Check(EVP_DigestUpdate(c.get(), block, BlockSize));
    OPENSSL_cleanse(block, sizeof block);
    return c;
  };
  FPads->Inner = pad(0x36);
  FPads->Outer = pad(0x5c);
  OPENSSL_cleanse(key, sizeof key);
  OPENSSL_cleanse(secret.data(), secret.size());
}

TSessionScheme::~TSessionScheme() = default;

std::string TSessionScheme::Mac(std::initializer_list<std::string_view> parts, size_t size) const {
  // One scratch context per thread: the pads are only read, by any thread.
  thread_local TMdCtx scratch = NewMdCtx();
  EVP_MD_CTX* c = scratch.get();
  unsigned char inner[DigestSize];
  unsigned char outer[DigestSize];
  unsigned int length = 0;
  Check(EVP_MD_CTX_copy_ex(c, FPads->Inner.get()));
  for (std::string_view part : parts)
    Check(EVP_DigestUpdate(c, part.data(), part.size()));
  Check(EVP_DigestFinal_ex(c, inner, &length));
  Check(EVP_MD_CTX_copy_ex(c, FPads->Outer.get()));
  Check(EVP_DigestUpdate(c, inner, sizeof inner));
  Check(EVP_DigestFinal_ex(c, outer, &length));
  return std::string(reinterpret_cast<char*>(outer), std::min(size, sizeof outer));
}

std::string TSessionScheme::NewId(int64_t now) const {
  std::string stamp(StampBytes, '\0');
  uint32_t t = static_cast<uint32_t>(now);
  for (int i = 0; i < 4; ++i)
    stamp[i] = static_cast<char>(t >> (24 - 8 * i));
  if (RAND_bytes(reinterpret_cast<unsigned char*>(&stamp[4]), 4) != 1)
    throw Exception("The system's random generator failed");
  return ToHex(stamp + Mac({IdLabel, stamp}, MacBytes));
}

std::optional<int64_t> TSessionScheme::MadeAt(const std::string& id) const {
  std::string bytes;
  if (id.size() != IdLength || !FromHex(id, bytes))
    return std::nullopt;
  std::string_view stamp(bytes.data(), StampBytes);
  std::string mac = Mac({IdLabel, stamp}, MacBytes);
  if (CRYPTO_memcmp(mac.data(), bytes.data() + StampBytes, MacBytes) != 0)
    return std::nullopt;
  uint32_t t = 0;
  for (size_t i = 0; i < 4; ++i)
    t = (t << 8) | static_cast<unsigned char>(stamp[i]);
  return static_cast<int64_t>(t);
}

bool TSessionScheme::IsAlive(int64_t made, int64_t now) const {
  int64_t age = now - made;
  return age >= -ClockSkew && age <= FLifetime;
}

bool TSessionScheme::IsValid(const std::string& id, int64_t now) const {
  std::optional<int64_t> made = MadeAt(id);
  return made && IsAlive(*made, now);
}

std::string TSessionScheme::Key(const std::string& id, uint8_t sequence) const {
  const char n = static_cast<char>(sequence);
  return Mac({KeyLabel, id, std::string_view(&n, 1)}, KeySize);
}

std::string TSessionScheme::RandomSecret() {
  std::string secret(SecretSize, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(secret.data()), SecretSize) != 1)
    throw Exception("The system's random generator failed");
  return secret;
}
