#include "setup/LauncherCheck.h"

#include "i18n/BuiltInTexts.h"
#include "model/VoUpdateConfig.h"
#include "setup/UpdateProcedure.h"

TStartMode RunLauncherCheck(TProductInfo& product, const std::string& installDir,
                            std::string& errorText) {
  try {
    product.FetchProductInfo();
    IVoUpdateConfigPtr manifest = CreateUpdateConfig();
    manifest->SetText(product.ManifestText());
    if (manifest->NeedsUpdate(installDir))
      return TStartMode::smUpdate;
    product.ReleaseConnection();
    // Whether the application starts is not reported: the launcher ends either way.
    StartApplication(installDir + manifest->GetPayloadName());
    return TStartMode::smLaunch;
  } catch (const std::exception&) {
    errorText = ProductInfoErrorText;
    return TStartMode::smError;
  }
}
