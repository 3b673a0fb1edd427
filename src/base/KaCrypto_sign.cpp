#include "base/KaCrypto.h"

#include "base/KaExceptions.h"

#include <sodium.h>

namespace {

void InitSodium() {
  if (sodium_init() < 0)
    throw Exception("libsodium cannot start");
}

unsigned char* Bytes(std::string& s) { return reinterpret_cast<unsigned char*>(s.data()); }
const unsigned char* Bytes(std::string_view s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

} // namespace

TEd25519KeyPair NewEd25519KeyPair() {
  InitSodium();
  TEd25519KeyPair pair{std::string(crypto_sign_PUBLICKEYBYTES, '\0'),
                       std::string(crypto_sign_SECRETKEYBYTES, '\0')};
  crypto_sign_keypair(Bytes(pair.PublicKey), Bytes(pair.SecretKey));
  return pair;
}

TEd25519KeyPair Ed25519KeyPairFromSeed(std::string_view seed) {
  if (seed.size() != crypto_sign_SEEDBYTES)
    throw Exception("An Ed25519 seed has " + std::to_string(crypto_sign_SEEDBYTES) + " bytes");
  InitSodium();
  TEd25519KeyPair pair{std::string(crypto_sign_PUBLICKEYBYTES, '\0'),
                       std::string(crypto_sign_SECRETKEYBYTES, '\0')};
  crypto_sign_seed_keypair(Bytes(pair.PublicKey), Bytes(pair.SecretKey), Bytes(seed));
  return pair;
}

std::string SignEd25519(std::string_view message, std::string_view secretKey) {
  if (secretKey.size() != crypto_sign_SECRETKEYBYTES)
    throw Exception("An Ed25519 secret key has " + std::to_string(crypto_sign_SECRETKEYBYTES) +
                    " bytes");
  InitSodium();
  std::string signature(crypto_sign_BYTES, '\0');
  crypto_sign_detached(Bytes(signature), nullptr, Bytes(message), message.size(), Bytes(secretKey));
  return signature;
}
