#include "net/KaHTTP.h"

#include "base/KaRegistry.h"
#include "base/KaStrings.h"

namespace {

// The internet settings as stored; every value read under its own guard, so
// a missing or mistyped value is empty or 0 and the others still count.
struct TInternetSettings {
  std::string Lib;
  std::string Method;
  std::string Host;
  int32_t Port = 0;
  std::string UserName;
  std::string Password;
};

template <class F> auto Guarded(F read) -> decltype(read()) {
  try {
    return read();
  } catch (...) {
    return decltype(read())();
  }
}

TInternetSettings ReadInternetSettings() {
  TInternetSettings s;
  TRegistry reg(TRootKey::rkLocalMachine);
  if (!Guarded([&] { return reg.OpenKeyReadOnly(InternetSettingsKey); }))
    return s;
  s.Lib = Guarded([&] { return reg.ReadString("lib"); });
  s.Method = Guarded([&] { return reg.ReadString("method"); });
  if (s.Method == "manual") {
    // Without a port a manual proxy is no proxy at all: the automatic
    // settings apply instead.
    try {
      s.Host = reg.ReadString("proxy-host");
      s.Port = static_cast<int32_t>(reg.ReadInteger("proxy-port"));
    } catch (...) {
      s.Method.clear();
      s.Host.clear();
      s.Port = 0;
    }
  }
  s.UserName = Guarded([&] { return reg.ReadString("proxy-username"); });
  if (!s.UserName.empty())
    s.Password = Guarded([&] { return reg.ReadString("proxy-password"); });
  reg.CloseKey();
  return s;
}

// The current user's system proxy as "host[:port]"; empty when it is off or
// cannot be read.
std::string ReadSystemProxy() {
  TRegistry reg(TRootKey::rkCurrentUser);
  if (!Guarded([&] { return reg.OpenKeyReadOnly(SystemProxyKey); }))
    return std::string();
  std::string host = Guarded([&] {
    return reg.ReadInteger("ProxyEnable") != 0 ? reg.ReadString("ProxyServer") : std::string();
  });
  reg.CloseKey();
  return host;
}

void SplitProxyServer(std::string& host, int32_t& port) {
  if (host.find(':') == std::string::npos) {
    port = 80;
    return;
  }
  std::string number = CopyAfterLast(":", host);
  host = CopyBeforeLast(":", host);
  try {
    port = StrToInt(number);
  } catch (const EConvertError&) {
    host.clear();
  }
}

void SetProxy(IProxySettings& proxy, const TInternetSettings& s) {
  proxy.SetHost(s.Host);
  proxy.SetPort(s.Port);
  proxy.SetUsername(s.UserName);
  proxy.SetPassword(s.Password);
}

} // namespace

void THTTPResponse::Clear() {
  FStatusCode = 0;
  FContentType.clear();
  FLastModified = TDateTime();
  FContentLength = 0;
}

void THTTPFactory::Register(const std::string& name, THTTPClass httpClass) {
  std::lock_guard guard(FLock);
  FClasses.emplace_back(name, std::move(httpClass));
}

THTTPClass THTTPFactory::Find(const std::string& name) const {
  std::lock_guard guard(FLock);
  for (const auto& [n, c] : FClasses)
    if (SameText(n, name))
      return c;
  return THTTPClass();
}

IHTTPPtr THTTPFactory::CreateHTTP() {
  TInternetSettings s = ReadInternetSettings();
  THTTPClass httpClass = Find(s.Lib);
  if (!httpClass)
    httpClass = Find("Indy");
  IHTTPPtr http = httpClass ? httpClass() : nullptr;
  if (!http)
    throw EHTTP("Unable to construct HTTP class!");

  IProxySettings& proxy = http->GetProxySettings();
  if (s.Method.empty() || s.Method == "auto") {
    s.Host = ReadSystemProxy();
    s.Port = 0;
    if (!s.Host.empty())
      SplitProxyServer(s.Host, s.Port);
    proxy.SetAuto(true);
    if (!s.Host.empty())
      SetProxy(proxy, s);
  } else if (s.Method == "manual") {
    proxy.SetAuto(false);
    if (!s.Host.empty())
      SetProxy(proxy, s);
  }
  return http;
}

IHTTPFactory& HTTPFactory() {
  static THTTPFactory factory;
  return factory;
}

int64_t TLimitedStream::Write(const void* buffer, int64_t count) {
  if (count > 0 && FInner.GetPosition() + count > FLimit)
    RaiseTooLarge();
  return FInner.Write(buffer, count);
}

void TLimitedStream::SetSize(int64_t size) {
  if (size > FLimit)
    RaiseTooLarge();
  FInner.SetSize(size);
}

void TLimitedStream::ExpectLength(int64_t length) {
  if (length > FLimit - FInner.GetPosition())
    RaiseTooLarge();
}

std::string TLimitedStream::TooLargeText() const {
  return "The server's answer is larger than the " + std::to_string(FLimit) +
         " bytes expected for this request";
}

void TLimitedStream::RaiseTooLarge() {
  FOverflowed = true;
  throw EAnswerTooLarge(TooLargeText());
}

void ExpectAnswerLength(TStream* target, int64_t length) {
  if (auto* limited = dynamic_cast<TLimitedStream*>(target); limited && length >= 0)
    limited->ExpectLength(length);
}
