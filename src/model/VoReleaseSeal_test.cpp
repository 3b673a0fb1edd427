#include "model/VoReleaseSeal.h"

#include "base/KaHex.h"
#include "model/VoUpdateConfig.h"

#include <gtest/gtest.h>

namespace {

const TEd25519KeyPair Vendor = Ed25519KeyPairFromSeed(std::string(32, 'v'));
const TEd25519KeyPair Stranger = Ed25519KeyPairFromSeed(std::string(32, 's'));

const std::string Manifest = "[installer]\r\nappName=Demo\r\nappDir=C:\\Demo\\\r\n"
                             "payloadName=demo.exe\r\n\r\n"
                             "[files]\r\n|=\r\n|:*\r\n"
                             "|-7,9,3421780262,20240101100000000,0,demo.exe\r\n"
                             "|-8,3,1,20240101100000000,0,data.txt\r\n|x\r\n\r\n"
                             "[shortcuts]\r\n|Demo,demo.exe,demo.exe,Starts Demo,,\r\n\r\n";

constexpr int64_t Jan2027 = 1798761600; // 2027-01-01T00:00:00Z

TVoReleaseSeal Seal(int64_t number = 7, int64_t expires = 0) {
  TVoReleaseSeal seal;
  seal.Number = number;
  seal.Expires = expires;
  seal.DisplayName = "Demo Product \xC3\xA9"; // UTF-8
  seal.Contents[7] = {9, Sha256("123456789")};
  seal.Contents[8] = {3, Sha256("abc")};
  return seal;
}

std::string ErrorOf(const std::string& text, const std::string& key = Vendor.PublicKey,
                    int64_t now = Jan2027) {
  try {
    VerifyRelease(text, key, now);
  } catch (const EReleaseSeal& e) {
    return e.Message();
  }
  return "(accepted)";
}

// A text signed by the vendor whose seal sections are `sections` as given.
std::string SignedAsIs(const std::string& sections) {
  const std::string body = Manifest + sections;
  return body + SignatureSectionText(SignEd25519(body, Vendor.SecretKey));
}

} // namespace

TEST(VoReleaseSeal, TheWrittenFormOfTheSections) {
  const std::string text = SignManifest(Manifest, Seal(7, Jan2027), Vendor.SecretKey);
  const std::string sections = text.substr(Manifest.size());
  const std::string signature =
      ToHex(SignEd25519(text.substr(0, text.find("[signature]")), Vendor.SecretKey));
  EXPECT_EQ(sections,
            "[release]\r\nnumber=7\r\nexpires=2027-01-01T00:00:00Z\r\n"
            "displayName=Demo Product \xC3\xA9\r\n\r\n"
            "[content]\r\n"
            "|7,9,15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225\r\n"
            "|8,3,ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\r\n\r\n"
            "[signature]\r\ned25519=" +
                signature + "\r\n\r\n");
  EXPECT_EQ(UnsealedManifestText(text), Manifest);
  EXPECT_EQ(UnsealedManifestText(Manifest), Manifest);
  EXPECT_TRUE(HasSignatureSection(text));
  EXPECT_FALSE(HasSignatureSection(Manifest));

  // Without an expiry there is no line for it.
  EXPECT_EQ(SignManifest(Manifest, Seal(), Vendor.SecretKey).find("expires"), std::string::npos);
}

TEST(VoReleaseSeal, AProgramThatChecksNothingReadsTheManifestAsBefore) {
  IVoUpdateConfigPtr plain = CreateUpdateConfig(), sealed = CreateUpdateConfig();
  plain->SetText(Manifest);
  sealed->SetText(SignManifest(Manifest, Seal(7, Jan2027), Vendor.SecretKey));
  EXPECT_EQ(sealed->GetText(), plain->GetText());
  EXPECT_EQ(sealed->GetText(), Manifest);
  EXPECT_EQ(sealed->GetShortcuts()->GetCount(), 1);
}

TEST(VoReleaseSeal, VerifiesTheVendorsReleaseAndReadsItsSeal) {
  const std::string text = SignManifest(Manifest, Seal(7, Jan2027), Vendor.SecretKey);
  const TVoVerifiedRelease release = VerifyRelease(text, Vendor.PublicKey, Jan2027 - 1);
  EXPECT_EQ(release.Body, text.substr(0, text.find("[signature]")));
  EXPECT_EQ(release.Seal.Number, 7);
  EXPECT_EQ(release.Seal.Expires, Jan2027);
  EXPECT_EQ(release.Seal.DisplayName, "Demo Product \xC3\xA9");
  EXPECT_EQ(release.Seal.Contents, Seal().Contents);

  // The form the configuration store writes ends with an empty line; the
  // signature line alone is as good.
  EXPECT_EQ(ErrorOf(text.substr(0, text.size() - 2), Vendor.PublicKey, Jan2027 - 1), "(accepted)");
  // A release without files to fetch has no content section.
  TVoReleaseSeal empty = Seal(1);
  empty.Contents.clear();
  const TVoVerifiedRelease bare =
      VerifyRelease(SignManifest(Manifest, empty, Vendor.SecretKey), Vendor.PublicKey, 0);
  EXPECT_TRUE(bare.Seal.Contents.empty());
  EXPECT_EQ(bare.Seal.Expires, 0) << "never expires";
}

TEST(VoReleaseSeal, EveryAlteredByteIsRefused) {
  const std::string text = SignManifest(Manifest, Seal(7, Jan2027), Vendor.SecretKey);
  for (size_t at = 0; at < text.size(); ++at) {
    for (char bit : {'\x01', '\x20', '\x80'}) {
      std::string altered = text;
      altered[at] ^= bit;
      ASSERT_EQ(ErrorOf(altered), ReleaseSignatureError)
          << "byte " << at << " ^ " << int(bit) << " of\n"
          << text;
    }
  }
}

TEST(VoReleaseSeal, RefusesWhatTheVendorsKeyDidNotSign) {
  const std::string text = SignManifest(Manifest, Seal(), Vendor.SecretKey);
  EXPECT_EQ(ErrorOf(text), "(accepted)");
  EXPECT_EQ(ErrorOf(text, Stranger.PublicKey), ReleaseSignatureError);
  EXPECT_EQ(ErrorOf(SignManifest(Manifest, Seal(), Stranger.SecretKey)), ReleaseSignatureError);
  EXPECT_EQ(ErrorOf(text, ""), ReleaseSignatureError) << "no key at all";

  EXPECT_EQ(ErrorOf(Manifest), ReleaseSignatureError) << "unsigned";
  EXPECT_EQ(ErrorOf(Manifest + ReleaseSealText(Seal())), ReleaseSignatureError) << "sealed only";
  const std::string tail = text.substr(text.find("[signature]"));
  EXPECT_EQ(ErrorOf(text + "[files]\r\n|=\r\n|x\r\n"), ReleaseSignatureError)
      << "a section behind the signature";
  EXPECT_EQ(ErrorOf(text + "\r\n"), ReleaseSignatureError);
  EXPECT_EQ(ErrorOf(text.substr(0, text.size() - 3)), ReleaseSignatureError);
  EXPECT_EQ(ErrorOf(Manifest + tail), ReleaseSignatureError) << "a signature moved to other text";
  EXPECT_EQ(ErrorOf(tail), ReleaseSignatureError) << "a signature without text";
  // The signature line in another spelling.
  std::string upper = text;
  for (size_t at = upper.find("ed25519=") + 8; upper[at] != '\r'; ++at)
    upper[at] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[at])));
  EXPECT_EQ(ErrorOf(upper), ReleaseSignatureError);
}

TEST(VoReleaseSeal, RefusesASignedSealThatDoesNotRead) {
  const std::string content = "[content]\r\n|7,9," + ToHex(Sha256("123456789")) + "\r\n\r\n";
  const std::string good = "[release]\r\nnumber=3\r\ndisplayName=D\r\n\r\n" + content;
  ASSERT_EQ(ErrorOf(SignedAsIs(good)), "(accepted)");
  EXPECT_EQ(ErrorOf(SignedAsIs(good + "[release]\r\nfuture=1\r\n\r\n")), ReleaseSignatureError)
      << "two release sections";
  EXPECT_EQ(ErrorOf(SignedAsIs("[release]\r\nnumber=3\r\ndisplayName=D\r\nlater=x\r\n\r\n")),
            "(accepted)")
      << "keys of later programs are passed over";
  for (const char* release :
       {"number=0\r\ndisplayName=D", "number=-3\r\ndisplayName=D", "number=03\r\ndisplayName=D",
        "number=3x\r\ndisplayName=D", "number=\r\ndisplayName=D", "displayName=D", "number=3",
        "number=3\r\ndisplayName=D\r\nexpires=tomorrow", "number=3\r\ndisplayName=D\r\nexpires=",
        "number=3\r\ndisplayName=D\r\n|raw", "number=99999999999999999999\r\ndisplayName=D"})
    EXPECT_EQ(ErrorOf(SignedAsIs("[release]\r\n" + std::string(release) + "\r\n\r\n")),
              ReleaseSignatureError)
        << release;
  const std::string digest = ToHex(Sha256("x"));
  for (const std::string& line : std::vector<std::string>{
           "|7,9," + digest + "\r\n|7,9," + digest, "|0,9," + digest, "|7,-9," + digest,
           "|7,9," + digest.substr(2), "|7,9," + digest + "00", "|7,9", "7,9," + digest,
           "|7,2147483648," + digest, "|x,9," + digest, "|7,9,"})
    EXPECT_EQ(ErrorOf(SignedAsIs("[release]\r\nnumber=3\r\ndisplayName=D\r\n\r\n[content]\r\n" +
                                 line + "\r\n\r\n")),
              ReleaseSignatureError)
        << line;
}

TEST(VoReleaseSeal, RefusesAnExpiredRelease) {
  const std::string text = SignManifest(Manifest, Seal(7, Jan2027), Vendor.SecretKey);
  EXPECT_EQ(ErrorOf(text, Vendor.PublicKey, Jan2027 - 1), "(accepted)");
  EXPECT_EQ(ErrorOf(text, Vendor.PublicKey, Jan2027), ReleaseExpiredError);
  EXPECT_EQ(ErrorOf(text, Vendor.PublicKey, Jan2027 + 86400 * 400), ReleaseExpiredError);
  // A forged signature is the first thing said, whatever the time.
  std::string forged = text;
  forged[10] ^= 1;
  EXPECT_EQ(ErrorOf(forged, Vendor.PublicKey, Jan2027 + 1), ReleaseSignatureError);
}

TEST(VoReleaseSeal, ExpiryStampsHaveOneForm) {
  for (int64_t t :
       {int64_t(0), int64_t(951782400), Jan2027, Jan2027 + 86399, int64_t(4102444800)}) {
    int64_t back = -1;
    ASSERT_TRUE(ParseExpiry(FormatExpiry(t), back)) << FormatExpiry(t);
    EXPECT_EQ(back, t);
  }
  EXPECT_EQ(FormatExpiry(951782400), "2000-02-29T00:00:00Z");
  EXPECT_EQ(FormatExpiry(Jan2027 + 86399), "2027-01-01T23:59:59Z");
  int64_t t = 0;
  for (const char* bad :
       {"2027-02-29T00:00:00Z", "2027-01-01T24:00:00Z", "2027-01-01T00:60:00Z",
        "2027-01-01T00:00:60Z", "2027-13-01T00:00:00Z", "2027-01-01T00:00:00z",
        "2027-01-01 00:00:00Z", "2027-01-01T00:00:00", "2027-01-01T00:00:00+01:00",
        "1969-12-31T23:59:59Z", "2027-1-01T00:00:00Z", "+027-01-01T00:00:00Z", ""})
    EXPECT_FALSE(ParseExpiry(bad, t)) << bad;
}

TEST(VoReleaseSeal, ADisplayNameTheTextCannotKeepIsNotSigned) {
  TVoReleaseSeal seal = Seal();
  for (const char* name : {" Demo", "Demo ", "De\r\nmo", "Demo\t"}) {
    seal.DisplayName = name;
    EXPECT_THROW(SignManifest(Manifest, seal, Vendor.SecretKey), EReleaseSeal) << name;
  }
}

TEST(VoContentCheck, TakesTheSealedContentAndNothingElse) {
  const TVoContentSeal seal{9, Sha256("123456789")};
  auto run = [&](const std::vector<std::string>& pieces, std::string& written) {
    TMemoryStream target;
    TVoContentCheck check(seal, "bin\\demo.exe");
    TVoCheckedStream stream(target, check);
    try {
      for (const std::string& piece : pieces)
        stream.WriteBuffer(piece.data(), static_cast<int64_t>(piece.size()));
      check.Finish();
    } catch (const EReleaseSeal& e) {
      written = target.Bytes();
      return e.Message();
    }
    written = target.Bytes();
    return std::string("(accepted)");
  };
  std::string written;
  EXPECT_EQ(run({"1234", "", "56789"}, written), "(accepted)");
  EXPECT_EQ(written, "123456789");
  EXPECT_EQ(run({"123456780"}, written), "$(release_content_error) bin\\demo.exe")
      << "same size, other bytes";
  EXPECT_EQ(run({"12345678"}, written), "$(release_content_error) bin\\demo.exe") << "short";
  EXPECT_EQ(run({"12345678", "9", "0"}, written), "$(release_content_error) bin\\demo.exe");
  EXPECT_EQ(written, "123456789") << "nothing beyond the sealed size reaches the file";
  EXPECT_EQ(run({"1234567890"}, written), "$(release_content_error) bin\\demo.exe");
  EXPECT_EQ(written, "") << "a piece that would overrun is refused whole";

  const TVoContentSeal empty{0, Sha256("")};
  TVoContentCheck none(empty, "e");
  EXPECT_NO_THROW(none.Finish());
  TVoContentCheck one(empty, "e");
  EXPECT_THROW(one.Add("x", 1), EReleaseSeal);
}
