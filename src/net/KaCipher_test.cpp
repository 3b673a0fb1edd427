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
