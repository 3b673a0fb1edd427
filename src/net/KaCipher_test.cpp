#include "net/KaCipher.h"

#include "base/KaExceptions.h"

#include <gtest/gtest.h>

TEST(Cipher, XorsFromTheOffsetWithTheKeyRepeated) {
  TMemoryStream s(std::string("\x00\x01\x02\x03\x04\x05\x06", 7));
  s.SetPosition(2);
  Cipher(s, "\x10\x20\x30", 1);
  EXPECT_EQ(s.Bytes(), std::string("\x00\x11\x22\x33\x14\x25\x36", 7));
  EXPECT_EQ(s.GetPosition(), 2);
  Cipher(s, "\x10\x20\x30", 1);
  EXPECT_EQ(s.Bytes(), std::string("\x00\x01\x02\x03\x04\x05\x06", 7));

  // At or past the end nothing changes.
  Cipher(s, "k", 7);
  Cipher(s, "k", 100);
  EXPECT_EQ(s.Bytes(), std::string("\x00\x01\x02\x03\x04\x05\x06", 7));
}

TEST(Cipher, EmptyKeyIsRefused) {
  TMemoryStream s(std::string("abc"));
  try {
    Cipher(s, "", 0);
    ADD_FAILURE() << "an empty key was accepted";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "Exception");
    EXPECT_EQ(e.Message(), "$(Invalid cipher)!");
  }
  EXPECT_EQ(s.Bytes(), "abc");
}

// Whatever the key's length and wherever a piece starts, the bytes are what
// XORing one at a time with the key repeated gives, and pieces ciphered one
// after the other give what the whole run gives.
TEST(Cipher, EveryKeyLengthAndPieceGivesTheBytewiseResult) {
  std::string plain(4096 + 77, '\0');
  for (size_t i = 0; i < plain.size(); ++i)
    plain[i] = static_cast<char>(i * 131 + i / 7);
  for (size_t n : {1, 2, 3, 5, 8, 12, 16, 17, 31, 40, 127, 129, 300}) {
    std::string key(n, '\0');
    for (size_t i = 0; i < n; ++i)
      key[i] = static_cast<char>(0x5a + i * 29);
    for (int64_t offset : {0, 1, 37, 4000}) {
      std::string want = plain;
      for (size_t i = static_cast<size_t>(offset); i < want.size(); ++i)
        want[i] ^= key[(i - static_cast<size_t>(offset)) % n];
      TMemoryStream whole(plain);
      Cipher(whole, key, offset);
      EXPECT_EQ(whole.Bytes(), want) << n << " " << offset;
    }
    std::string want = plain;
    for (size_t i = 0; i < want.size(); ++i)
      want[i] ^= key[i % n];
    std::string pieces = plain;
    auto* bytes = reinterpret_cast<uint8_t*>(pieces.data());
    size_t at = 0;
    for (size_t piece : {0, 1, 7, 9, 64, 1000, 3, 2500}) {
      piece = std::min(piece, pieces.size() - at);
      CipherBytes(bytes + at, piece, key, at);
      at += piece;
    }
    CipherBytes(bytes + at, pieces.size() - at, key, at);
    EXPECT_EQ(pieces, want) << n;
  }
}
