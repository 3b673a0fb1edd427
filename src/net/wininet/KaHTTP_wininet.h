#pragma once

#include "net/KaHTTP.h"

// The HTTP client on the system's WinInet (Windows only). Requests run on
// the calling thread; bodies move in blocks of 1024 bytes; one proxy
// challenge per request is answered with the stored credentials.
class TKaHTTP_wininet : public THTTP {
public:
  TKaHTTP_wininet() = default;
  ~TKaHTTP_wininet() override;

  std::string GetString(const std::string& url) override;
  void Get(const std::string& url, TStream& target) override;
  void Post(const std::string& url, TStream& source, TStream& target) override;
  // Raises EHTTP "HEAD not implemented!".
  void Head(const std::string& url) override;

private:
  void OpenInternet();

  void* FInternet = nullptr; // the session handle, made on the first request
  std::string FObjectPath;   // the path part of the request in progress
};
