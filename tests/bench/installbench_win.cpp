// Installs a product with the install procedure, the internet settings naming
// one HTTP back end, for the install benchmark (install_curl_bench.sh):
//   installbench <host[:port]> <back end> <directory> <setup.exe>
// The directory is made as the InstallPath page makes it. Prints the seconds
// from the first request to the end of the procedure. The settings of the
// prefix and the product's uninstall entry are put back as they were, so that
// one run leaves nothing to the next.
#include "i18n/BuiltInTexts.h"
#include "i18n/KaTranslator.h"
#include "model/VoUpdateConfig.h"
#include "net/KaHTTP.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "net/testing/KaNetTesting.h"
#include "setup/InstallProcedure.h"
#include "setup/ProductInfo.h"
#include "setup/UninstallEntry.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: installbench <host[:port]> <back end> <directory> <setup.exe>\n");
    return 2;
  }
  const std::string backEnd = argv[2];
  try {
    RegisterHTTPBackEnds();
    RegisterTexts();
    Translator()->SetLanguage(u"en");
    // The factory takes "Indy" for a name it does not know: that would
    // measure the wrong back end under the right name.
    if (!dynamic_cast<THTTPFactory&>(HTTPFactory()).Find(backEnd))
      throw Exception("no back end named " + backEnd);
    TInternetSettingsScope settings;
    settings.Write("lib", backEnd);
    settings.Write("method", "direct");

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    TProductInfo product(argv[1]);
    product.CreateConnection();
    product.FetchProductInfo();
    std::string dir = argv[3];
    if (!PrepareInstallDir(dir))
      throw Exception("cannot create " + dir);
    RunInstall(product.ManifestText(), product.Connection(), dir, argv[4]);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    IVoUpdateConfigPtr manifest = CreateUpdateConfig();
    manifest->SetText(product.ManifestText());
    UnregisterUninstall(manifest->GetAppName());
    std::printf("installbench: %s %.3f s\n", backEnd.c_str(), seconds);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "installbench: %s: %s\n", backEnd.c_str(), e.what());
    return 1;
  }
}
