#include "server/SigningKey.h"

#include "server/ReleaseStore.h"
#include "server/testing/ServerTesting.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

int ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return static_cast<int>(st.st_mode & 0777);
}

} // namespace

TEST(SigningKey, ANewPairIsPrivateToItsOwnerAndSigns) {
  TTempStore temp;
  const std::string file = temp.Dir() + "/vendor.key";
  const std::string publicText = GenerateSigningKey(file);
  EXPECT_EQ(ModeOf(file), 0600);
  EXPECT_EQ(ReadWholeFile(file + ".pub"), publicText + "\n");
  EXPECT_EQ(ReadWholeFile(file).rfind(SecretKeyTextPrefix, 0), 0u);

  const TEd25519KeyPair pair = LoadSigningKey(file);
  EXPECT_EQ(PublicKeyText(pair.PublicKey), publicText);
  EXPECT_TRUE(VerifyEd25519("release", SignEd25519("release", pair.SecretKey), pair.PublicKey));
  EXPECT_EQ(ReadPublicKeyArgument(file + ".pub"), publicText);
  EXPECT_EQ(ReadPublicKeyArgument(publicText), publicText);
  EXPECT_NE(GenerateSigningKey(temp.Dir() + "/other.key"), publicText);
}

TEST(SigningKey, AnExistingKeyIsNeverReplaced) {
  TTempStore temp;
  const std::string file = temp.Dir() + "/vendor.key";
  const std::string first = GenerateSigningKey(file);
  const std::string secret = ReadWholeFile(file);
  EXPECT_THROW(GenerateSigningKey(file), EFCreateError);
  EXPECT_EQ(ReadWholeFile(file), secret);
  EXPECT_EQ(ReadWholeFile(file + ".pub"), first + "\n");

  // A public key file in the way stops it before the private key is made.
  const std::string second = temp.Dir() + "/second.key";
  WriteFileAtomically(second + ".pub", "someone's");
  EXPECT_THROW(GenerateSigningKey(second), EFCreateError);
  EXPECT_FALSE(fs::exists(second));
  EXPECT_EQ(ReadWholeFile(second + ".pub"), "someone's");
  // Nor through a dangling link.
  const std::string linked = temp.Dir() + "/linked.key";
  fs::create_symlink(temp.Dir() + "/nowhere", linked);
  EXPECT_THROW(GenerateSigningKey(linked), EFCreateError);
  EXPECT_FALSE(fs::exists(temp.Dir() + "/nowhere"));
}

TEST(SigningKey, RefusesKeysOthersMayReadOrThatAreDamaged) {
  TTempStore temp;
  const std::string file = temp.Dir() + "/vendor.key";
  GenerateSigningKey(file);
  const std::string text = ReadWholeFile(file);
  ::chmod(file.c_str(), 0640);
  EXPECT_THROW(LoadSigningKey(file), Exception);
  ::chmod(file.c_str(), 0600);
  EXPECT_NO_THROW(LoadSigningKey(file));

  auto refused = [&](const std::string& content) {
    WriteFileAtomically(file, content, 0600);
    try {
      LoadSigningKey(file);
    } catch (const Exception&) {
      return true;
    }
    return false;
  };
  std::string otherHalf = text;
  otherHalf[text.size() - 3] = otherHalf[text.size() - 3] == '0' ? '1' : '0';
  EXPECT_TRUE(refused(otherHalf)) << "a public half that is not the seed's";
  EXPECT_TRUE(refused(text.substr(0, text.size() - 3)));
  EXPECT_TRUE(refused(ReadWholeFile(file + ".pub")));
  EXPECT_TRUE(refused(""));
  EXPECT_FALSE(refused(text));
  EXPECT_THROW(LoadSigningKey(temp.Dir() + "/missing.key"), EFOpenError);

  EXPECT_THROW(ReadPublicKeyArgument(file), Exception) << "the private key is no public key";
  EXPECT_THROW(ReadPublicKeyArgument("websetup-ed25519:00"), Exception);
}
