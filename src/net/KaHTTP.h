#pragma once

#include "base/KaDateTime.h"
#include "base/KaExceptions.h"
#include "base/KaStreams.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The transport-neutral HTTP client of the remote connection, and the factory
// that turns the user's internet settings into a ready client of one of the
// registered back ends.

// The error of this unit and of every back end.
KA_DECLARE_EXCEPTION(EHTTP, Exception);

class IHTTPRequest {
public:
  virtual ~IHTTPRequest() = default;
  virtual std::string GetContentType() const = 0;
  virtual void SetContentType(const std::string& value) = 0;
  // Empties the content type.
  virtual void Clear() = 0;
};

// What the last response said. Back ends call Clear at the start of each
// request and fill the fields as the response arrives.
class IHTTPResponse {
public:
  virtual ~IHTTPResponse() = default;
  virtual int32_t GetStatusCode() const = 0;
  virtual void SetStatusCode(int32_t value) = 0;
  virtual std::string GetContentType() const = 0;
  virtual void SetContentType(const std::string& value) = 0;
  virtual TDateTime GetLastModified() const = 0;
  virtual void SetLastModified(TDateTime value) = 0;
  virtual int32_t GetContentLength() const = 0;
  virtual void SetContentLength(int32_t value) = 0;
  // Status 0, content type empty, last modified 0, content length 0.
  virtual void Clear() = 0;
};

// Auto = true: use the operating system's proxy configuration; back ends
// that can (WinInet) then ignore host and port.
class IProxySettings {
public:
  virtual ~IProxySettings() = default;
  virtual std::string GetHost() const = 0;
  virtual void SetHost(const std::string& value) = 0;
  virtual int32_t GetPort() const = 0;
  virtual void SetPort(int32_t value) = 0;
  virtual std::string GetUsername() const = 0;
  virtual void SetUsername(const std::string& value) = 0;
  virtual std::string GetPassword() const = 0;
  virtual void SetPassword(const std::string& value) = 0;
  virtual bool GetAuto() const = 0;
  virtual void SetAuto(bool value) = 0;
};

// A client. Its settings, request and response objects live as long as the
// client; callers change them in place before a request.
class IHTTP {
public:
  virtual ~IHTTP() = default;
  virtual IProxySettings& GetProxySettings() = 0;
  virtual IHTTPRequest& GetRequest() = 0;
  virtual IHTTPResponse& GetResponse() = 0;

  // The body of a GET.
  virtual std::string GetString(const std::string& url) = 0;
  // A GET whose body is written into target at its position.
  virtual void Get(const std::string& url, TStream& target) = 0;
  // Sends source from its position to its end as the body of a POST and
  // writes the response body into target at its position.
  virtual void Post(const std::string& url, TStream& source, TStream& target) = 0;
  virtual void Head(const std::string& url) = 0;
};

using IHTTPPtr = std::shared_ptr<IHTTP>;

// An answer that would grow past what the caller accepts for its kind of
// call; raised by TLimitedStream before the bytes are stored.
KA_DECLARE_EXCEPTION(EAnswerTooLarge, EHTTP);

// The target of a request whose answer has a bound: writes pass to the inner
// stream until they would make it longer than the limit, and raise
// EAnswerTooLarge then, so a server cannot make the client allocate what it
// claims or sends beyond the bound. A back end that learns the answer's
// length from its head calls ExpectLength first and refuses it before reading
// any of the body. Overflowed tells afterwards, whatever a back end made of
// the exception (libcurl turns it into its own write error).
class TLimitedStream : public TStream {
public:
  TLimitedStream(TStream& inner, int64_t limit) : FInner(inner), FLimit(limit) {}

  int64_t Read(void* buffer, int64_t count) override { return FInner.Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return FInner.Seek(offset, origin); }
  int64_t GetSize() override { return FInner.GetSize(); }
  void SetSize(int64_t size) override;

  void ExpectLength(int64_t length);
  int64_t Limit() const { return FLimit; }
  bool Overflowed() const { return FOverflowed; }
  std::string TooLargeText() const;
  [[noreturn]] void RaiseTooLarge();

private:
  TStream& FInner;
  int64_t FLimit;
  bool FOverflowed = false;
};

// ExpectLength of the target when it is a TLimitedStream; a length below 0
// (none announced) passes.
void ExpectAnswerLength(TStream* target, int64_t length);

class THTTPRequest : public IHTTPRequest {
public:
  std::string GetContentType() const override { return FContentType; }
  void SetContentType(const std::string& value) override { FContentType = value; }
  void Clear() override { FContentType.clear(); }

private:
  std::string FContentType;
};

class THTTPResponse : public IHTTPResponse {
public:
  int32_t GetStatusCode() const override { return FStatusCode; }
  void SetStatusCode(int32_t value) override { FStatusCode = value; }
  std::string GetContentType() const override { return FContentType; }
  void SetContentType(const std::string& value) override { FContentType = value; }
  TDateTime GetLastModified() const override { return FLastModified; }
  void SetLastModified(TDateTime value) override { FLastModified = value; }
  int32_t GetContentLength() const override { return FContentLength; }
  void SetContentLength(int32_t value) override { FContentLength = value; }
  void Clear() override;

private:
  int32_t FStatusCode = 0;
  std::string FContentType;
  int32_t FContentLength = 0;
  TDateTime FLastModified;
};

class TProxySettings : public IProxySettings {
public:
  std::string GetHost() const override { return FHost; }
  void SetHost(const std::string& value) override { FHost = value; }
  int32_t GetPort() const override { return FPort; }
  void SetPort(int32_t value) override { FPort = value; }
  std::string GetUsername() const override { return FUsername; }
  void SetUsername(const std::string& value) override { FUsername = value; }
  std::string GetPassword() const override { return FPassword; }
  void SetPassword(const std::string& value) override { FPassword = value; }
  bool GetAuto() const override { return FAuto; }
  void SetAuto(bool value) override { FAuto = value; }

private:
  std::string FHost;
  int32_t FPort = 0;
  std::string FUsername;
  std::string FPassword;
  bool FAuto = false;
};

// The base of every back end: the four operations do nothing here
// (GetString returns an empty text); a back end overrides them.
class THTTP : public IHTTP {
public:
  THTTP() = default;
  THTTP(const THTTP&) = delete;
  THTTP& operator=(const THTTP&) = delete;

  IProxySettings& GetProxySettings() override { return FProxySettings; }
  IHTTPRequest& GetRequest() override { return FRequest; }
  IHTTPResponse& GetResponse() override { return FResponse; }

  std::string GetString(const std::string& url) override { return std::string(); }
  void Get(const std::string& url, TStream& target) override {}
  void Post(const std::string& url, TStream& source, TStream& target) override {}
  void Head(const std::string& url) override {}

private:
  TProxySettings FProxySettings;
  THTTPResponse FResponse;
  THTTPRequest FRequest;
};

// A class reference: builds a new, unconfigured client of one back end.
using THTTPClass = std::function<IHTTPPtr()>;

// The class reference of a back end class T (default-constructible, derived
// from THTTP), for Register.
template <class T> THTTPClass HTTPClassOf() {
  return [] { return IHTTPPtr(std::make_shared<T>()); };
}

class IHTTPFactory {
public:
  virtual ~IHTTPFactory() = default;
  // Appends (name, class); names compare without letter case, the first
  // match wins and duplicates are allowed.
  virtual void Register(const std::string& name, THTTPClass httpClass) = 0;
  // A new client of the back end the internet settings name, with its proxy
  // settings filled in; the settings are read afresh on every call. Raises
  // EHTTP "Unable to construct HTTP class!" when neither the named back end
  // nor "Indy" is registered.
  virtual IHTTPPtr CreateHTTP() = 0;
};

class THTTPFactory : public IHTTPFactory {
public:
  void Register(const std::string& name, THTTPClass httpClass) override;
  IHTTPPtr CreateHTTP() override;

  // The class registered first under name (letter case ignored); empty when none.
  THTTPClass Find(const std::string& name) const;

private:
  mutable std::mutex FLock;
  std::vector<std::pair<std::string, THTTPClass>> FClasses;
};

// The single factory, created on first use.
IHTTPFactory& HTTPFactory();

// Where the internet settings live (HKEY_LOCAL_MACHINE) and where the
// current user's system proxy lives (HKEY_CURRENT_USER).
inline constexpr const char* InternetSettingsKey = "Software\\Brellik\\Internet Settings";
inline constexpr const char* SystemProxyKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
