#include "setup/UninstallEntry.h"

#include "base/KaExceptions.h"
#include "base/KaRegistry.h"

std::string UninstallCommand(const std::string& installLocation, const std::string& programFile) {
  return "\"" + installLocation + programFile + "\" /remove";
}

bool RegisterUninstall(const std::string& keyName, const std::string& displayName,
                       const std::string& installLocation, const std::string& programFile) {
  const std::string key = UninstallKeyRoot + keyName;
  TRegistry registry(TRootKey::rkLocalMachine);
  // An existing entry is another installation's word: it is never changed.
  if (registry.KeyExists(key))
    return false;
  if (!registry.OpenKey(key, true))
    return true;
  auto write = [&registry](const char* name, const std::string& value) {
    try {
      registry.WriteString(name, value);
    } catch (const ERegistryException&) {
      // Each value stands alone: one that cannot be written leaves the others.
    }
  };
  write("DisplayName", displayName);
  write("Publisher", "Brellik");
  write("InstallLocation", installLocation);
  write("UninstallString", UninstallCommand(installLocation, programFile));
  registry.CloseKey();
  return true;
}

bool UnregisterUninstall(const std::string& keyName) {
  const std::string key = UninstallKeyRoot + keyName;
  TRegistry registry(TRootKey::rkLocalMachine);
  return registry.KeyExists(key) && registry.DeleteKey(key);
}
