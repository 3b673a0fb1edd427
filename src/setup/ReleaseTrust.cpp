#include "setup/ReleaseTrust.h"

#include "base/KaCrypto.h"
#include "base/KaFiles.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"
#include "base/KaText.h"
#include "net/KaKeySlot.h"

#include <ctime>

std::string TrustedKeyOf(const std::string& keyText) {
  std::string raw;
  if (keyText.empty() || ParsePublicKeyText(keyText, raw))
    return raw;
  // No signature verifies with this: a damaged stamp refuses every release.
  return "no key";
}

std::string& TrustedVendorKey() {
  static std::string key = TrustedKeyOf(VendorKeyText());
  return key;
}

int64_t CurrentUnixTime() { return static_cast<int64_t>(std::time(nullptr)); }

std::string AcceptedReleaseFileName(const std::string& installDir, const std::string& appName) {
  return installDir + appName + ".release";
}

int64_t AcceptedRelease(const std::string& installDir, const std::string& appName) {
  const std::string path = AcceptedReleaseFileName(installDir, appName);
  if (!FileExists(path))
    return 0;
  try {
    TFileStream file(path, fmOpenRead | fmShareDenyNone);
    int64_t number = 0;
    // Whoever can write beside the installation can replace the launcher
    // itself; a record that does not read guards nothing and blocks nothing.
    return TryStrToInt64(Trim(file.ReadRest()), number) && number > 0 ? number : 0;
  } catch (const Exception&) {
    return 0;
  }
}

void RecordAcceptedRelease(const std::string& installDir, const std::string& appName,
                           int64_t number) {
  const std::string path = AcceptedReleaseFileName(installDir, appName);
  RemoveTemporariesBeside(path);
  const std::string temporary = TemporaryBeside(path);
  if (temporary.empty())
    throw EFCreateError("Cannot create file \"" + path + "\". No temporary name is free");
  try {
    {
      TFileStream file(temporary, fmCreate);
      file.WriteString(IntToStr(number));
    }
    if (!RenameFile(temporary, path))
      throw EFCreateError("Cannot create file \"" + path + "\"");
  } catch (...) {
    RemoveFile(temporary);
    throw;
  }
}

void CheckProductRelease(const std::u16string& productName, const std::string& manifestText) {
  const std::string& key = TrustedVendorKey();
  if (key.empty())
    return;
  const TVoVerifiedRelease release = VerifyRelease(manifestText, key, CurrentUnixTime());
  if (release.Seal.DisplayName != WideToUtf8(productName))
    throw EReleaseSeal(ReleaseSignatureError);
}

IVoUpdateConfigPtr LoadManifest(const std::string& manifestText, const std::string& installDir) {
  IVoUpdateConfigPtr manifest = CreateUpdateConfig();
  const std::string& key = TrustedVendorKey();
  if (key.empty()) {
    manifest->SetText(manifestText);
    return manifest;
  }
  const TVoVerifiedRelease release = VerifyRelease(manifestText, key, CurrentUnixTime());
  // Only what was signed is read: nothing behind the signature counts.
  manifest->SetText(release.Body);
  if (!installDir.empty()) {
    const std::string appName = manifest->GetAppName();
    const int64_t accepted = AcceptedRelease(installDir, appName);
    if (release.Seal.Number < accepted)
      throw EReleaseSeal(ReleaseRollbackError);
    if (release.Seal.Number > accepted)
      RecordAcceptedRelease(installDir, appName, release.Seal.Number);
  }
  auto sealed = std::dynamic_pointer_cast<IVoSealedContent>(manifest);
  if (!sealed)
    throw EIntfCastError("Interface not supported");
  sealed->SetContentSeals(release.Seal.Contents);
  return manifest;
}
