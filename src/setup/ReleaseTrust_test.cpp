#include "setup/ReleaseTrust.h"

#include "base/KaText.h"
#include "i18n/BuiltInTexts.h"
#include "i18n/KaTranslator.h"
#include "setup/InstallProcedure.h"
#include "setup/UninstallProcedure.h"
#include "setup/UpdateProcedure.h"
#include "setup/testing/ProcedureFixture.h"
#include "setup/testing/TrustScope.h"

// The procedures of a program stamped with the vendor's key, natively and
// under Wine.

namespace {

class ReleaseTrust : public ProcedureFixture {
protected:
  std::string Record() const {
    return FileExists(RecordFile) ? Read(RecordFile) : std::string("(none)");
  }
  // What a refused call says.
  template <class Call> std::string Refusal(Call call) {
    try {
      call();
    } catch (const EReleaseSeal& e) {
      return e.Message();
    }
    return "(accepted)";
  }
  std::vector<std::string> FilesIn(const std::string& dir) const {
    std::vector<std::string> names;
    for (const TSearchRec& r : FindEntries(dir + "*"))
      names.push_back(r.Name);
    std::sort(names.begin(), names.end());
    return names;
  }

  TTrustScope Trust{Vendor.PublicKey};
  const std::string RecordFile = InstallDir + AppName + ".release";
};

} // namespace

TEST_F(ReleaseTrust, WithoutAKeyEveryReleaseIsTakenAsItComes) {
  TTrustScope none("");
  IVoUpdateConfigPtr plain = CreateUpdateConfig();
  plain->SetText(Manifest());
  EXPECT_EQ(LoadManifest(Manifest(), InstallDir)->GetText(), plain->GetText());
  EXPECT_EQ(LoadManifest(Signed(3, 1), InstallDir)->GetText(), plain->GetText())
      << "the sections of a signed release, even an expired one, are passed over";
  EXPECT_EQ(Record(), "(none)");
  EXPECT_NO_THROW(CheckProductRelease(u"anything", Manifest()));
}

TEST_F(ReleaseTrust, ASignedReleaseIsTakenAndItsNumberRemembered) {
  RunInstall(Signed(5), Server, InstallDir, Setup);
  EXPECT_EQ(Read(InstallDir + "bin\\demo.exe"), "content 2");
  EXPECT_EQ(Record(), "5");

  EXPECT_EQ(Refusal([&] { RunUpdate(Signed(5), Server, InstallDir); }), "(accepted)")
      << "the same release again";
  EXPECT_EQ(Refusal([&] { RunUpdate(Signed(7), Server, InstallDir); }), "(accepted)");
  EXPECT_EQ(Record(), "7");
  EXPECT_EQ(Refusal([&] { RunUpdate(Signed(6), Server, InstallDir); }), ReleaseRollbackError);
  EXPECT_EQ(Refusal([&] { RunUninstall(Signed(6), InstallDir, false); }), ReleaseRollbackError);
  EXPECT_EQ(Record(), "7");
  EXPECT_TRUE(FileExists(InstallDir + "bin\\demo.exe")) << "the refused uninstall removed nothing";

  RunUninstall(Signed(7), InstallDir, false);
  EXPECT_EQ(Record(), "(none)") << "the record goes with the installation";
  EXPECT_FALSE(FileExists(InstallDir + "bin\\demo.exe"));
}

TEST_F(ReleaseTrust, ARefusedReleaseWritesNothing) {
  std::string altered = Signed(5);
  altered[altered.find("demo.exe")] = 'D';
  const TEd25519KeyPair stranger = Ed25519KeyPairFromSeed(std::string(32, 's'));
  TVoReleaseSeal seal = Seal(5);
  const struct {
    std::string Text, Error;
  } refused[] = {
      {Manifest(), ReleaseSignatureError},
      {altered, ReleaseSignatureError},
      {SignManifest(Manifest(), seal, stranger.SecretKey), ReleaseSignatureError},
      {Signed(5, CurrentUnixTime() - 60), ReleaseExpiredError},
  };
  for (const auto& r : refused) {
    EXPECT_EQ(Refusal([&] { RunInstall(r.Text, Server, InstallDir, Setup); }), r.Error);
    EXPECT_EQ(FilesIn(InstallDir), std::vector<std::string>{}) << r.Text;
    EXPECT_TRUE(Server->Calls.empty());
  }
  EXPECT_EQ(
      Refusal([&] { RunInstall(Signed(5, CurrentUnixTime() + 3600), Server, InstallDir, Setup); }),
      "(accepted)");

  // A key slot whose text is no key trusts nothing.
  EXPECT_EQ(TrustedKeyOf(""), "");
  EXPECT_EQ(TrustedKeyOf(PublicKeyText(Vendor.PublicKey)), Vendor.PublicKey);
  TTrustScope damaged(TrustedKeyOf(PublicKeyText(Vendor.PublicKey) + "0"));
  EXPECT_EQ(Refusal([&] { RunUpdate(Signed(5), Server, InstallDir); }), ReleaseSignatureError);
}

TEST_F(ReleaseTrust, AFileThatIsNotTheSignedContentFailsTheInstall) {
  Server->Answers[2] = Deflate("content X"); // bin\demo.exe: the same size, other bytes
  EXPECT_EQ(Refusal([&] { RunInstall(Signed(5), Server, InstallDir, Setup); }),
            std::string(ReleaseContentError) + " " + InstallDir + "bin\\demo.exe");
  EXPECT_FALSE(FileExists(InstallDir + "bin\\demo.exe"));
  EXPECT_EQ(Temporaries(InstallDir), 0);
  EXPECT_EQ(Read(InstallDir + "readme.txt"), "content 1") << "what came before stays";

  // The next run takes the right content.
  Server->Answers.erase(2);
  RunUpdate(Signed(5), Server, InstallDir);
  EXPECT_EQ(Read(InstallDir + "bin\\demo.exe"), "content 2");
}

TEST_F(ReleaseTrust, TheProductInformationIsTheSignedOne) {
  EXPECT_NO_THROW(CheckProductRelease(u"Demo", Signed(5)));
  EXPECT_THROW(CheckProductRelease(u"Demo!", Signed(5)), EReleaseSeal) << "a forged name";
  EXPECT_THROW(CheckProductRelease(u"Demo", Manifest()), EReleaseSeal);
  EXPECT_EQ(Record(), "(none)") << "the setup role has no installation yet";
}

TEST(ReleaseTexts, EveryRefusalSaysItsOwnTextInBothLanguages) {
  RegisterTexts();
  const std::u16string saved =
      Translator()->GetCurrent() ? Utf8ToWide(Translator()->GetCurrent()->GetCode()) : u"nl";
  std::set<std::u16string> seen;
  for (const char* code : {"nl", "en"}) {
    Translator()->SetLanguage(Utf8ToWide(code));
    for (const char* marker :
         {ReleaseSignatureError, ReleaseExpiredError, ReleaseRollbackError, ReleaseContentError}) {
      const std::u16string text = Translate(ToWide(marker));
      EXPECT_EQ(text.find(u"$["), std::u16string::npos) << code << " " << marker;
      EXPECT_GT(text.size(), 40u) << code << " " << marker;
      EXPECT_TRUE(seen.insert(text).second) << "said twice: " << WideToUtf8(text);
    }
  }
  Translator()->SetLanguage(saved);
}
