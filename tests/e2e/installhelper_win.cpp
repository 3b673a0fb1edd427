// Makes an installation the way the install procedure will, for the tests and
// the demo until the wizard does it: fetches the product information from the
// server, writes the launcher copy and the installation record, and brings the
// directory in line with the manifest. It trusts the vendor's key that the
// given setup.exe carries, as that program would, and reports a refusal in
// the language's words.
//   installhelper <host> <setup.exe> <directory> [language]
#include "base/KaFiles.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"
#include "base/KaText.h"
#include "i18n/BuiltInTexts.h"
#include "i18n/KaTranslator.h"
#include "model/VoUpdateConfig.h"
#include "net/KaKeySlot.h"
#include "net/KaProtocol.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "setup/ProductInfo.h"
#include "setup/ReleaseTrust.h"
#include "setup/StartUp.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: installhelper <host> <setup.exe> <directory> [language]\n");
    return 2;
  }
  const std::string language = argc > 4 ? argv[4] : "nl";
  try {
    RegisterHTTPBackEnds();
    TMemoryStream image;
    image.LoadFromFile(argv[2]);
    TrustedVendorKey() = TrustedKeyOf(ReadKeySlot(image.Bytes()));

    TProductInfo product(argv[1]);
    product.CreateConnection();
    product.FetchProductInfo();
    std::string dir = AddBackslash(argv[3]);
    if (!ForceDirectories(dir))
      throw Exception("cannot create " + dir);
    IVoUpdateConfigPtr manifest = LoadManifest(product.ManifestText(), dir);
    CopyFileData(argv[2], dir + manifest->GetAppName() + ".exe");
    {
      TFileStream record(dir + manifest->GetAppName() + InstallRecordExt, fmCreate);
      record.WriteString(language);
    }
    manifest->Update(dir, product.Connection(), GetFileCommand);
    std::printf("installed %s into %s\n", manifest->GetAppName().c_str(), dir.c_str());
    return 0;
  } catch (const std::exception& e) {
    RegisterTexts();
    Translator()->SetLanguage(ToWide(language));
    std::fprintf(stderr, "installhelper: %s\n", FromWide(Translate(ToWide(e.what()))).c_str());
    return 1;
  }
}
