#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// SHA-256 and the verification of Ed25519 signatures, from libsodium: what a
// client needs to check what the vendor signed. Keys, hashes and signatures
// are raw bytes in std::string.

inline constexpr size_t Sha256Size = 32;
inline constexpr size_t Ed25519PublicKeySize = 32;
inline constexpr size_t Ed25519SecretKeySize = 64;
inline constexpr size_t Ed25519SignatureSize = 64;

// A SHA-256 computed piece by piece, as the bytes pass.
class TSha256 {
public:
  TSha256();
  void Update(const void* data, size_t size);
  // The 32-byte digest; the object is spent afterwards.
  std::string Finish();

private:
  // libsodium's state, kept out of this header (checked against its size).
  alignas(8) unsigned char FState[128];
};

std::string Sha256(std::string_view data);

// True when `signature` is `publicKey`'s Ed25519 signature of `message`;
// false for every wrong size as well.
bool VerifyEd25519(std::string_view message, std::string_view signature,
                   std::string_view publicKey);

// The short text form of a vendor's public key, "websetup-ed25519:" and 64
// lower-case hex digits; what the vendor's tool prints and stamps.
inline constexpr std::string_view PublicKeyTextPrefix = "websetup-ed25519:";
std::string PublicKeyText(std::string_view publicKey);
// The raw key of the text form; false for anything else (no blanks allowed).
bool ParsePublicKeyText(std::string_view text, std::string& publicKey);

// The vendor's side, in an object of its own so that programs which only
// verify do not carry it.
struct TEd25519KeyPair {
  std::string PublicKey; // 32 bytes
  std::string SecretKey; // 64 bytes: the seed, then the public key
};
// A new key pair from the system's random source.
TEd25519KeyPair NewEd25519KeyPair();
// The key pair of a 32-byte seed, for tests that need the same key each run.
TEd25519KeyPair Ed25519KeyPairFromSeed(std::string_view seed);
// The 64-byte signature of `message`; raises Exception for a secret key of
// the wrong size.
std::string SignEd25519(std::string_view message, std::string_view secretKey);
