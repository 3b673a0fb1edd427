#include "base/KaCrypto.h"

#include "base/KaExceptions.h"
#include "base/KaHex.h"

#include <gtest/gtest.h>

namespace {

std::string Bytes(std::string_view hex) {
  std::string bytes;
  EXPECT_TRUE(FromHex(hex, bytes)) << hex;
  return bytes;
}

// RFC 8032, section 7.1, test 2: a one-byte message.
const std::string PublicKey =
    Bytes("3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c");
const std::string Message = Bytes("72");
const std::string Signature =
    Bytes("92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da"
          "085ac1e43e15996e458f3613d0f11d8c387b2eaeb4302aeeb00d291612bb0c00");

} // namespace

TEST(Sha256, KnownDigestsWholeAndPieceByPiece) {
  EXPECT_EQ(ToHex(Sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(ToHex(Sha256("abc")),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // Pieces that cross the 64-byte block in every way give the digest of the whole.
  std::string data;
  for (int i = 0; i < 1000; ++i)
    data += static_cast<char>(i * 7);
  for (size_t piece : {1, 63, 64, 65, 999}) {
    TSha256 hash;
    for (size_t at = 0; at < data.size(); at += piece)
      hash.Update(data.data() + at, std::min(piece, data.size() - at));
    EXPECT_EQ(hash.Finish(), Sha256(data)) << piece;
  }
}

TEST(Ed25519, VerifiesTheReferenceSignatureAndNothingElse) {
  EXPECT_TRUE(VerifyEd25519(Message, Signature, PublicKey));

  EXPECT_FALSE(VerifyEd25519(Bytes("73"), Signature, PublicKey)) << "another message";
  EXPECT_FALSE(VerifyEd25519(Message + "x", Signature, PublicKey)) << "a longer message";
  for (size_t at : {size_t(0), size_t(31), size_t(63)}) {
    std::string flipped = Signature;
    flipped[at] ^= 1;
    EXPECT_FALSE(VerifyEd25519(Message, flipped, PublicKey)) << "bit flipped at " << at;
  }
  std::string otherKey = PublicKey;
  otherKey[5] ^= 0x40;
  EXPECT_FALSE(VerifyEd25519(Message, Signature, otherKey));
  EXPECT_FALSE(VerifyEd25519(Message, Signature.substr(0, 63), PublicKey));
  EXPECT_FALSE(VerifyEd25519(Message, Signature + "x", PublicKey));
  EXPECT_FALSE(VerifyEd25519(Message, Signature, PublicKey.substr(1)));
  EXPECT_FALSE(VerifyEd25519(Message, std::string(64, '\0'), std::string(32, '\0')));
}

TEST(PublicKeyText, OneWrittenFormBothWays) {
  const std::string text = PublicKeyText(PublicKey);
  EXPECT_EQ(text,
            "websetup-ed25519:3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c");
  std::string parsed;
  ASSERT_TRUE(ParsePublicKeyText(text, parsed));
  EXPECT_EQ(parsed, PublicKey);

  for (const std::string& bad :
       {std::string("3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c"),
        text + "00", text.substr(0, text.size() - 2), text + "\n", " " + text,
        std::string(
            "websetup-ed25519:3D4017C3E843895A92B70AA74D1B7EBC9C982CCF2EC4968CC0CD55F12AF4660C"),
        "websetup-rsa:" + text.substr(17), std::string()}) {
    std::string untouched = "kept";
    EXPECT_FALSE(ParsePublicKeyText(bad, untouched)) << bad;
    EXPECT_EQ(untouched, "kept");
  }
}

TEST(Hex, LowerCaseOnlyAndEvenLengths) {
  EXPECT_EQ(ToHex(std::string("\x00\x01\xab\xff", 4)), "0001abff");
  std::string bytes;
  ASSERT_TRUE(FromHex("0001abff", bytes));
  EXPECT_EQ(bytes, std::string("\x00\x01\xab\xff", 4));
  EXPECT_TRUE(FromHex("", bytes));
  EXPECT_EQ(bytes, "");
  for (const char* bad : {"0", "abc", "0g", "AB", " 00", "00 "})
    EXPECT_FALSE(FromHex(bad, bytes)) << bad;
}

TEST(Ed25519, SignsAsTheReferenceAndNewPairsAreTheirOwn) {
  // RFC 8032 test 2 again, from its secret seed.
  const TEd25519KeyPair pair = Ed25519KeyPairFromSeed(
      Bytes("4ccd089b28ff96da9db6c346ec114e0f5b8a319f35aba624da8cf6ed4fb8a6fb"));
  EXPECT_EQ(pair.PublicKey, PublicKey);
  EXPECT_EQ(SignEd25519(Message, pair.SecretKey), Signature);

  const TEd25519KeyPair a = NewEd25519KeyPair(), b = NewEd25519KeyPair();
  EXPECT_NE(a.PublicKey, b.PublicKey);
  const std::string signature = SignEd25519("release 7", a.SecretKey);
  EXPECT_TRUE(VerifyEd25519("release 7", signature, a.PublicKey));
  EXPECT_FALSE(VerifyEd25519("release 7", signature, b.PublicKey));
  EXPECT_THROW(SignEd25519("x", a.SecretKey.substr(1)), Exception);
  EXPECT_THROW(Ed25519KeyPairFromSeed("short"), Exception);
}
