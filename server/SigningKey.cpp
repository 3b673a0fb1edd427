#include "server/SigningKey.h"

#include "base/KaExceptions.h"
#include "base/KaHex.h"
#include "base/KaStrings.h"
#include "server/ReleaseStore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Creates `path` with `mode`, never over an existing file, and writes it
// whole to disk; a file that could not be written whole is removed again.
void CreateNewFile(const std::string& path, const std::string& content, mode_t mode) {
  TScopedFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
  if (!fd)
    throw EFCreateError("Cannot create file \"" + path + "\". " + std::strerror(errno));
  const char* p = content.data();
  size_t left = content.size();
  bool written = true;
  while (written && left > 0) {
    ssize_t n = ::write(fd.Get(), p, left);
    if (n < 0 && errno == EINTR)
      continue;
    written = n > 0;
    if (written) {
      p += n;
      left -= static_cast<size_t>(n);
    }
  }
  if (!written || ::fsync(fd.Get()) != 0) {
    const std::string reason = std::strerror(errno);
    fd.Reset();
    ::unlink(path.c_str());
    throw EWriteError("Cannot write \"" + path + "\". " + reason);
  }
}

} // namespace

std::string GenerateSigningKey(const std::string& privateFile) {
  const std::string publicFile = privateFile + ".pub";
  for (const std::string& file : {privateFile, publicFile})
    if (std::filesystem::exists(std::filesystem::symlink_status(file)))
      throw EFCreateError("Cannot create file \"" + file +
                          "\". It exists; a key is never replaced");
  const TEd25519KeyPair pair = NewEd25519KeyPair();
  CreateNewFile(privateFile, SecretKeyTextPrefix + ToHex(pair.SecretKey) + "\n", 0600);
  const std::string text = PublicKeyText(pair.PublicKey);
  CreateNewFile(publicFile, text + "\n", 0644);
  return text;
}

TEd25519KeyPair LoadSigningKey(const std::string& privateFile) {
  struct stat st {};
  if (::stat(privateFile.c_str(), &st) != 0)
    throw EFOpenError("Cannot open file \"" + privateFile + "\". " + std::strerror(errno));
  if ((st.st_mode & 077) != 0)
    throw Exception("The private key \"" + privateFile +
                    "\" may be read by others than its owner; chmod 600 it");
  const std::string text = Trim(ReadWholeFile(privateFile));
  const std::string prefix = SecretKeyTextPrefix;
  std::string secret;
  if (text.compare(0, prefix.size(), prefix) != 0 ||
      !FromHex(std::string_view(text).substr(prefix.size()), secret) ||
      secret.size() != Ed25519SecretKeySize)
    throw Exception("\"" + privateFile + "\" holds no websetup private key");
  TEd25519KeyPair pair = Ed25519KeyPairFromSeed(secret.substr(0, 32));
  if (pair.SecretKey != secret)
    throw Exception("The private key \"" + privateFile + "\" is damaged");
  return pair;
}

std::string ReadPublicKeyArgument(const std::string& argument) {
  std::string key;
  if (ParsePublicKeyText(argument, key))
    return argument;
  if (std::filesystem::is_regular_file(argument)) {
    const std::string text = Trim(ReadWholeFile(argument));
    if (ParsePublicKeyText(text, key))
      return text;
    throw Exception("\"" + argument + "\" holds no public key (\"websetup-ed25519:...\")");
  }
  throw Exception("\"" + argument +
                  "\" is neither a public key (\"websetup-ed25519:...\") nor a "
                  "file that holds one");
}
