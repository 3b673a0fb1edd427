#pragma once

// The world of a procedure test: a scratch directory holding the downloaded
// setup program, the installation directory (with a blank in its name) and the
// user's shell folders; a file-serving scripted connection; a language of the
// test's own as the translator's current one; and no uninstall entry of the
// test product before or after.

#include "base/KaCRC.h"
#include "base/KaCrypto.h"
#include "base/KaStrings.h"
#include "i18n/BuiltInTexts.h"
#include "i18n/KaTranslator.h"
#include "model/VoReleaseSeal.h"
#include "model/testing/VoTesting.h"
#include "net/testing/KaNetTesting.h"
#include "setup/ShellLinks.h"
#include "setup/UninstallEntry.h"
#include "setup/testing/ShellFoldersScope.h"

#include <memory>
#include <string>

class ProcedureFixture : public testing::Test {
protected:
  ProcedureFixture() {
    UnregisterUninstall(AppName);
    ForceDirectories(InstallDir); // as PrepareInstallDir leaves it
    Dir.Write("Downloads\\setup.exe", "the setup program");
    RegisterTexts();
    if (Translator()->IndexOfCode("tt") < 0) {
      Translator()->AddLanguage("tt");
      Translator()->AddText("tt", u"link_name", u"Demo Link");
      Translator()->AddText("tt", u"link_text", u"Starts the demo");
    }
    Translator()->SetLanguage(u"tt");
  }
  ~ProcedureFixture() override { UnregisterUninstall(AppName); }

  // A manifest of the test product: three files, "content <id>" for ids 1 to
  // 3, listed with their true size and CRC so that a fetched file is current;
  // a desktop link with translated texts and one in a two-level group.
  std::string Manifest() const {
    auto listed = [](int id, const std::string& name) {
      const std::string content = "content " + IntToStr(id);
      const uint32_t crc = ~UpdateCRC(0xFFFFFFFFu, content.data(), content.size());
      return "|-" + IntToStr(id) + "," + IntToStr(static_cast<int64_t>(content.size())) + "," +
             IntToStr(crc) + ",00000000000000000,0," + name + "\r\n";
    };
    return "[installer]\r\nappName=" + AppName +
           "\r\nappDir=C:\\Demo\\\r\n"
           "payloadName=bin\\demo.exe\r\n\r\n"
           "[files]\r\n|=\r\n|:*\r\n" +
           listed(1, "readme.txt") + "|+0,0,bin\r\n" + listed(2, "demo.exe") +
           listed(3, "demo.ico") +
           "|x\r\n|x\r\n\r\n"
           "[shortcuts]\r\n"
           "|$(link_name),bin\\\\demo.exe,bin\\\\demo.ico,$(link_text),,/start\r\n"
           "|Demo Tools,bin\\\\demo.exe,,Tools,Demo Vendor\\\\Demo Tools,\r\n";
  }

  // The test vendor's key pair, and Manifest() as its signed release: the
  // display name "Demo", the three files sealed as the server serves them.
  const TEd25519KeyPair Vendor = Ed25519KeyPairFromSeed(std::string(32, 'v'));
  TVoReleaseSeal Seal(int64_t number, int64_t expires = 0) const {
    TVoReleaseSeal seal;
    seal.Number = number;
    seal.Expires = expires;
    seal.DisplayName = "Demo";
    for (int id = 1; id <= 3; ++id) {
      const std::string content = "content " + IntToStr(id);
      seal.Contents[id] = {static_cast<uint32_t>(content.size()), Sha256(content)};
    }
    return seal;
  }
  std::string Signed(int64_t number, int64_t expires = 0) const {
    return SignManifest(Manifest(), Seal(number, expires), Vendor.SecretKey);
  }

  std::string Read(const std::string& fileName) const {
    TMemoryStream data;
    data.LoadFromFile(fileName);
    return data.Bytes();
  }
  // Every file below dir whose name ends in ".~ws": temporaries left behind.
  static int Temporaries(const std::string& dir) {
    int found = 0;
    for (const TSearchRec& r : FindEntries(dir + "*")) {
      if (r.IsDirectory())
        found += Temporaries(dir + r.Name + "\\");
      else if (r.Name.size() > 4 && r.Name.substr(r.Name.size() - 4) == ".~ws")
        ++found;
    }
    return found;
  }

  const std::string AppName = "websetup-tests Demo";
  TScratchDir Dir;
  TShellFoldersScope Folders{Dir.Path};
  const std::string InstallDir = Dir.Path + "Demo App\\";
  const std::string Setup = Dir.Path + "Downloads\\setup.exe";
  const std::string DesktopLink = Folders.Desktop + "\\Demo Link.lnk";
  const std::string GroupLink = Folders.Programs + "\\Demo Vendor\\Demo Tools\\Demo Tools.lnk";
  std::shared_ptr<TScriptedFileConnection> Server = std::make_shared<TScriptedFileConnection>();
};
