// Signs a release's manifest anew with other seal values, as no vendor's
// tool would: for the end-to-end tests of releases the client must refuse
// (an expired one, a lower number). Writes the new text to stdout.
//   resealer <private-key-file> <manifest> [number=N] [expires=UNIX-SECONDS]
#include "model/VoReleaseSeal.h"
#include "server/ReleaseStore.h"
#include "server/SigningKey.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: resealer <private-key-file> <manifest> [number=N] [expires=T]\n");
    return 2;
  }
  try {
    const TEd25519KeyPair key = LoadSigningKey(argv[1]);
    const std::string text = ReadWholeFile(argv[2]);
    TVoReleaseSeal seal = VerifyRelease(text, key.PublicKey, 0).Seal;
    for (int i = 3; i < argc; ++i) {
      const std::string arg = argv[i];
      const size_t eq = arg.find('=');
      const std::string name = arg.substr(0, eq);
      const int64_t value = std::stoll(arg.substr(eq + 1));
      if (name == "number")
        seal.Number = value;
      else if (name == "expires")
        seal.Expires = value;
      else
        throw Exception("unknown field " + name);
    }
    std::cout << SignManifest(UnsealedManifestText(text), seal, key.SecretKey);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "resealer: %s\n", e.what());
    return 1;
  }
}
