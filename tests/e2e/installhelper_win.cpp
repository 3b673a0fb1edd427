// Makes an installation the way the install procedure will, for the tests and
// the demo until the wizard does it: fetches the product information from the
// server, writes the launcher copy and the installation record, and brings the
// directory in line with the manifest.
//   installhelper <host> <setup.exe> <directory> [language]
#include "base/KaFiles.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"
#include "i18n/BuiltInTexts.h"
#include "model/VoUpdateConfig.h"
#include "net/KaProtocol.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "setup/ProductInfo.h"
#include "setup/StartUp.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: installhelper <host> <setup.exe> <directory> [language]\n");
    return 2;
  }
  try {
    RegisterHTTPBackEnds();
    TProductInfo product(argv[1]);
    product.CreateConnection();
    product.FetchProductInfo();
    IVoUpdateConfigPtr manifest = CreateUpdateConfig();
    manifest->SetText(product.ManifestText());

    std::string dir = AddBackslash(argv[3]);
    if (!ForceDirectories(dir))
      throw Exception("cannot create " + dir);
    CopyFileData(argv[2], dir + manifest->GetAppName() + ".exe");
    {
      TFileStream record(dir + manifest->GetAppName() + InstallRecordExt, fmCreate);
      record.WriteString(argc > 4 ? argv[4] : "nl");
    }
    manifest->Update(dir, product.Connection(), GetFileCommand);
    std::printf("installed %s into %s\n", manifest->GetAppName().c_str(), dir.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "installhelper: %s\n", e.what());
    return 1;
  }
}
