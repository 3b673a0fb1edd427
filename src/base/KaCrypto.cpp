#include "base/KaCrypto.h"

#include "base/KaExceptions.h"
#include "base/KaHex.h"

#include <sodium.h>

static_assert(sizeof(crypto_hash_sha256_state) <= sizeof(TSha256));
static_assert(crypto_hash_sha256_BYTES == Sha256Size);
static_assert(crypto_sign_PUBLICKEYBYTES == Ed25519PublicKeySize);
static_assert(crypto_sign_SECRETKEYBYTES == Ed25519SecretKeySize);
static_assert(crypto_sign_BYTES == Ed25519SignatureSize);

namespace {

// libsodium picks its implementations on the first call of sodium_init;
// later calls only answer that it has run.
void InitSodium() {
  static const bool ready = sodium_init() >= 0;
  if (!ready)
    throw Exception("libsodium cannot start");
}

crypto_hash_sha256_state* State(unsigned char* bytes) {
  return reinterpret_cast<crypto_hash_sha256_state*>(bytes);
}

} // namespace

TSha256::TSha256() {
  InitSodium();
  crypto_hash_sha256_init(State(FState));
}

void TSha256::Update(const void* data, size_t size) {
  crypto_hash_sha256_update(State(FState), static_cast<const unsigned char*>(data), size);
}

std::string TSha256::Finish() {
  unsigned char digest[crypto_hash_sha256_BYTES];
  crypto_hash_sha256_final(State(FState), digest);
  return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

std::string Sha256(std::string_view data) {
  TSha256 hash;
  hash.Update(data.data(), data.size());
  return hash.Finish();
}

bool VerifyEd25519(std::string_view message, std::string_view signature,
                   std::string_view publicKey) {
  if (signature.size() != crypto_sign_BYTES || publicKey.size() != crypto_sign_PUBLICKEYBYTES)
    return false;
  InitSodium();
  return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                     reinterpret_cast<const unsigned char*>(message.data()),
                                     message.size(),
                                     reinterpret_cast<const unsigned char*>(publicKey.data())) == 0;
}

std::string PublicKeyText(std::string_view publicKey) {
  return std::string(PublicKeyTextPrefix) + ToHex(publicKey);
}

bool ParsePublicKeyText(std::string_view text, std::string& publicKey) {
  if (text.substr(0, PublicKeyTextPrefix.size()) != PublicKeyTextPrefix)
    return false;
  std::string key;
  if (!FromHex(text.substr(PublicKeyTextPrefix.size()), key) || key.size() != Ed25519PublicKeySize)
    return false;
  publicKey = key;
  return true;
}
