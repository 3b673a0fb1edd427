#include "setup/UpdateProcedure.h"

#include "base/KaProcess.h"
#include "model/VoUpdateConfig.h"
#include "setup/InstallProcedure.h"
#include "setup/ReleaseTrust.h"

std::string RunUpdate(const std::string& manifestText, const IConnectionPtr& connection,
                      const std::string& installDir) {
  IVoUpdateConfigPtr manifest = LoadManifest(manifestText, installDir);
  manifest->Update(installDir, connection, GetFileCommand);
  return installDir + manifest->GetPayloadName();
}

void StartApplication(const std::string& appPath) { RunProgram(appPath); }
