#include "server/SessionScheme.h"

#include "base/KaExceptions.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace {

const std::string Secret(32, 's');
constexpr int64_t Day = 86400;
constexpr int64_t Now = 1800000000;

TEST(SessionScheme, IdentifiersAreValidUntilTheyExpire) {
  TSessionScheme scheme(Secret, Day);
  std::string id = scheme.NewId(Now);
  ASSERT_EQ(id.size(), 32u);
  EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_TRUE(scheme.IsValid(id, Now));
  EXPECT_TRUE(scheme.IsValid(id, Now + Day));
  EXPECT_FALSE(scheme.IsValid(id, Now + Day + 1));
  // Made "in the future" beyond any plausible clock step between servers.
  EXPECT_FALSE(scheme.IsValid(id, Now - 3600));
  EXPECT_NE(scheme.NewId(Now), id) << "the random part must differ";
  EXPECT_EQ(scheme.MadeAt(id), Now);
  EXPECT_TRUE(scheme.IsAlive(Now, Now + Day));
  EXPECT_FALSE(scheme.IsAlive(Now, Now + Day + 1));
  EXPECT_FALSE(scheme.IsAlive(Now, Now - 3600));
}

TEST(SessionScheme, ForgedOrForeignIdentifiersAreRefused) {
  TSessionScheme scheme(Secret, Day);
  TSessionScheme other(std::string(32, 'o'), Day);
  std::string id = scheme.NewId(Now);
  EXPECT_FALSE(other.IsValid(id, Now));
  for (size_t i = 0; i < id.size(); ++i) {
    std::string forged = id;
    forged[i] = forged[i] == '0' ? '1' : '0';
    EXPECT_FALSE(scheme.IsValid(forged, Now)) << "changed at " << i;
  }
  EXPECT_FALSE(scheme.IsValid(std::string(32, '-'), Now));
  EXPECT_FALSE(scheme.IsValid(id.substr(0, 31), Now));
  std::string upper = id;
  for (char& c : upper)
    c = static_cast<char>(toupper(c));
  if (upper != id) {
    EXPECT_FALSE(scheme.IsValid(upper, Now));
  }
}

TEST(SessionScheme, KeysDependOnSecretIdentifierAndSequence) {
  TSessionScheme scheme(Secret, Day);
  TSessionScheme again(Secret, Day);
  TSessionScheme other(std::string(32, 'o'), Day);
  std::string id = scheme.NewId(Now);
  std::string key = scheme.Key(id, 7);
  EXPECT_EQ(key.size(), TSessionScheme::KeySize);
  EXPECT_EQ(again.Key(id, 7), key) << "a restarted server must derive the same keys";
  EXPECT_NE(scheme.Key(id, 8), key);
  EXPECT_NE(other.Key(id, 7), key);
  EXPECT_NE(scheme.Key(scheme.NewId(Now), 7), key);
}

// Every server process that shares the secret, an older one included,
// derives the same keys: HMAC-SHA-256 of the label, the identifier and the
// sequence byte, cut to 16 bytes, for a secret of any length.
TEST(SessionScheme, KeysAreTheHmacOfIdentifierAndSequence) {
  for (const std::string& secret : {Secret, std::string(100, 'L')}) {
    TSessionScheme scheme(secret, Day);
    std::string id = scheme.NewId(Now);
    for (int n : {0, 1, 255}) {
      std::string data = "websetup-session-key" + id + static_cast<char>(n);
      unsigned char mac[EVP_MAX_MD_SIZE];
      unsigned int length = 0;
      ASSERT_NE(HMAC(EVP_sha256(), secret.data(), static_cast<int>(secret.size()),
                     reinterpret_cast<const unsigned char*>(data.data()), data.size(), mac,
                     &length),
                nullptr);
      EXPECT_EQ(scheme.Key(id, static_cast<uint8_t>(n)),
                std::string(reinterpret_cast<char*>(mac), TSessionScheme::KeySize))
          << secret.size() << " " << n;
    }
  }
}

TEST(SessionScheme, RefusesShortSecretsAndMakesRandomOnes) {
  EXPECT_THROW(TSessionScheme(std::string(31, 'x'), Day), Exception);
  std::string a = TSessionScheme::RandomSecret(), b = TSessionScheme::RandomSecret();
  EXPECT_EQ(a.size(), TSessionScheme::SecretSize);
  EXPECT_NE(a, b);
}

} // namespace
