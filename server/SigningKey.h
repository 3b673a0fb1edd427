#pragma once

#include "base/KaCrypto.h"

#include <string>

// The vendor's signing key on disk. The private key file holds one line,
// "websetup-ed25519-secret:" and 128 lower-case hex digits (libsodium's
// 64-byte secret key: the seed, then the public key); the public key file
// beside it, FILE.pub, holds the public key's text form
// ("websetup-ed25519:" and 64 hex digits) and a line end.

inline constexpr char SecretKeyTextPrefix[] = "websetup-ed25519-secret:";

// Makes a new key pair: the private key into `privateFile`, created with
// mode 0600 and never over an existing file (O_EXCL), then the public key
// into privateFile + ".pub", also only when that does not exist. Returns the
// public key's text form. Raises EFCreateError naming the file that exists or
// cannot be made; nothing is written when either file exists already.
std::string GenerateSigningKey(const std::string& privateFile);

// Reads a private key file. Raises EFOpenError when it cannot be read, and
// Exception when others than its owner may read it, or when it holds no
// whole key (its public half must match its seed).
TEd25519KeyPair LoadSigningKey(const std::string& privateFile);

// A public key given on a command line: its text form, or the name of a file
// that holds it (FILE.pub). Returns the text form; raises Exception for
// anything else.
std::string ReadPublicKeyArgument(const std::string& argument);
