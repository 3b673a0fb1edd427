#include "setup/LauncherCheck.h"

#include "i18n/BuiltInTexts.h"
#include "model/VoUpdateConfig.h"
#include "setup/ReleaseTrust.h"
#include "setup/UpdateProcedure.h"

TStartMode RunLauncherCheck(TProductInfo& product, const std::string& installDir,
                            std::string& errorText) {
  try {
    product.FetchProductInfo();
    IVoUpdateConfigPtr manifest = LoadManifest(product.ManifestText(), installDir);
    if (manifest->NeedsUpdate(installDir))
      return TStartMode::smUpdate;
    product.ReleaseConnection();
    // Whether the application starts is not reported: the launcher ends either way.
    StartApplication(installDir + manifest->GetPayloadName());
    return TStartMode::smLaunch;
  } catch (const EReleaseSeal& e) {
    // A release that is not the vendor's says so, in its own words.
    errorText = e.Message();
    return TStartMode::smError;
  } catch (const std::exception&) {
    errorText = ProductInfoErrorText;
    return TStartMode::smError;
  }
}
