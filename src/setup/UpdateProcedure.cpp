#include "setup/UpdateProcedure.h"

#include "base/KaProcess.h"
#include "model/VoUpdateConfig.h"
#include "setup/InstallProcedure.h"

std::string RunUpdate(const std::string& manifestText, const IConnectionPtr& connection,
                      const std::string& installDir) {
  IVoUpdateConfigPtr manifest = CreateUpdateConfig();
  manifest->SetText(manifestText);
  manifest->Update(installDir, connection, GetFileCommand);
  return installDir + manifest->GetPayloadName();
}

void StartApplication(const std::string& appPath) { RunProgram(appPath); }
