#include "setup/VoInternetForm.h"

#include "base/KaRegistry.h"
#include "base/KaStrings.h"
#include "net/KaHTTP.h"

namespace {

template <class F> auto ReadGuarded(F read) -> decltype(read()) {
  try {
    return read();
  } catch (...) {
    return decltype(read())();
  }
}

} // namespace

TInternetSettingValues ReadInternetSettingValues() {
  TInternetSettingValues v;
  TRegistry reg(TRootKey::rkLocalMachine);
  if (!ReadGuarded([&] { return reg.OpenKeyReadOnly(InternetSettingsKey); }))
    return v;
  v.Lib = ReadGuarded([&] { return reg.ReadString("lib"); });
  v.Method = ReadGuarded([&] { return reg.ReadString("method"); });
  v.ProxyHost = ReadGuarded([&] { return reg.ReadString("proxy-host"); });
  v.ProxyPort = ReadGuarded([&] { return static_cast<int32_t>(reg.ReadInteger("proxy-port")); });
  v.ProxyUserName = ReadGuarded([&] { return reg.ReadString("proxy-username"); });
  v.ProxyPassword = ReadGuarded([&] { return reg.ReadString("proxy-password"); });
  reg.CloseKey();
  return v;
}

bool WriteInternetSettingValues(const TInternetSettingValues& values) {
  TRegistry reg(TRootKey::rkLocalMachine);
  if (!ReadGuarded([&] { return reg.OpenKey(InternetSettingsKey, true); }))
    return false;
  // The key is closed by the registry object also when a write raises.
  reg.WriteString("lib", values.Lib);
  reg.WriteString("method", values.Method);
  reg.WriteString("proxy-host", Trim(values.ProxyHost));
  reg.WriteInteger("proxy-port", static_cast<uint32_t>(values.ProxyPort));
  reg.WriteString("proxy-username", Trim(values.ProxyUserName));
  reg.WriteString("proxy-password", Trim(values.ProxyPassword));
  reg.CloseKey();
  return true;
}

TInternetLibrary LibraryOfSetting(const std::string& lib) {
  if (lib == "libcurl")
    return TInternetLibrary::ilLibCurl;
  if (lib == "WinInet")
    return TInternetLibrary::ilWinInet;
  return TInternetLibrary::ilIndy;
}

TProxyMethod MethodOfSetting(const std::string& method) {
  if (method == "direct")
    return TProxyMethod::pmDirect;
  if (method == "manual")
    return TProxyMethod::pmManual;
  return TProxyMethod::pmAutoDetect;
}

std::string LibrarySetting(bool libCurl, bool winInet, bool indy) {
  if (libCurl)
    return "libcurl";
  if (winInet)
    return "WinInet";
  if (indy)
    return "Indy";
  return std::string();
}

std::string MethodSetting(bool direct, bool manual) {
  if (direct)
    return "direct";
  if (manual)
    return "manual";
  return "auto";
}

TProxyFieldsEnabled ProxyFieldsEnabled(TProxyMethod method) {
  return {method == TProxyMethod::pmManual, method != TProxyMethod::pmDirect};
}
