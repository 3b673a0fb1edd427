#pragma once

#include <cstdint>
#include <string>

// The internet settings dialog without its window: what it reads from the
// registry key of the internet settings (HKEY_LOCAL_MACHINE, net/KaHTTP.h's
// InternetSettingsKey), which radio buttons that checks, and what OK writes.
// The dialog itself is VoInternetForm_win.h.

// The values as stored. Each is read on its own: one that is missing or of
// another type stays empty (the port 0), and the others still count.
struct TInternetSettingValues {
  std::string Lib;
  std::string Method;
  std::string ProxyHost;
  int32_t ProxyPort = 0;
  std::string ProxyUserName;
  std::string ProxyPassword;
};

// The stored values; all empty (port 0) when the key does not open.
TInternetSettingValues ReadInternetSettingValues();

// Opens the key, creating it if needed, and writes "lib", "method",
// "proxy-host", "proxy-port" (a DWORD), "proxy-username" and
// "proxy-password" in that order, the three texts typed by the user without
// leading and trailing blanks, every value whatever the method. False, with
// nothing written, when the key cannot be opened (no administrator rights);
// a write that fails once the key is open raises ERegistryException.
bool WriteInternetSettingValues(const TInternetSettingValues& values);

// The radio buttons of the library group. A stored "libcurl" or "WinInet",
// compared exactly and with its letter case, checks its button; anything
// else, empty included, checks Indy (the HTTP layer itself reads a stored
// "wininet" without regard to case, the dialog does not).
enum class TInternetLibrary { ilIndy, ilLibCurl, ilWinInet };
TInternetLibrary LibraryOfSetting(const std::string& lib);

// The radio buttons of the proxy group: "direct" and "manual", exactly, check
// their buttons; anything else, empty and "auto" included, Auto-detect.
enum class TProxyMethod { pmAutoDetect, pmDirect, pmManual };
TProxyMethod MethodOfSetting(const std::string& method);

// What OK stores for the checked buttons: "libcurl", else "WinInet", else
// "Indy", else (no button of the group checked) empty; and "auto", unless
// Direct ("direct") or Manual ("manual") is checked.
std::string LibrarySetting(bool libCurl, bool winInet, bool indy);
std::string MethodSetting(bool direct, bool manual);

// Which fields may be edited: the proxy's address and port only for a manual
// proxy; the user name and password for every method but a direct
// connection (they apply to the detected proxy too).
struct TProxyFieldsEnabled {
  bool AddressAndPort;
  bool Credentials;
};
TProxyFieldsEnabled ProxyFieldsEnabled(TProxyMethod method);
