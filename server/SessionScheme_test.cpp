#include "server/SessionScheme.h"

#include "base/KaExceptions.h"

#include <gtest/gtest.h>

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
  if (upper != id)
    EXPECT_FALSE(scheme.IsValid(upper, Now));
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

TEST(SessionScheme, RefusesShortSecretsAndMakesRandomOnes) {
  EXPECT_THROW(TSessionScheme(std::string(31, 'x'), Day), Exception);
  std::string a = TSessionScheme::RandomSecret(), b = TSessionScheme::RandomSecret();
  EXPECT_EQ(a.size(), TSessionScheme::SecretSize);
  EXPECT_NE(a, b);
}

} // namespace
