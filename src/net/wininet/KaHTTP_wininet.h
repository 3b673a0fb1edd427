#pragma once

#include "base/KaHandle.h"
#include "net/KaHTTP.h"

#include <memory>

// WinInet's handles (an HINTERNET is a void*): the session, a connection, a
// request. Each closes with InternetCloseHandle.
struct TInternetHandleTraits {
  using Handle = void*;
  static void* Invalid() noexcept { return nullptr; }
  static void Close(void* handle) noexcept;
};
using TScopedInternetHandle = TScopedHandle<TInternetHandleTraits>;

// The HTTP client on the system's WinInet (Windows only). Requests run on
// the calling thread; bodies move in blocks of 64 KB; one proxy
// challenge per request is answered with the stored credentials.
class TKaHTTP_wininet : public THTTP {
public:
  TKaHTTP_wininet() = default;

  // Bodies move in large blocks: every call into WinInet costs, and under
  // Wine a read is a trip to the server process or two.
  static constexpr uint32_t BlockSize = 64 * 1024;

  std::string GetString(const std::string& url) override;
  void Get(const std::string& url, TStream& target) override;
  void Post(const std::string& url, TStream& source, TStream& target) override;
  // Raises EHTTP "HEAD not implemented!".
  void Head(const std::string& url) override;

private:
  void OpenInternet();
  // The block that bodies move in, made on first use.
  char* Block();

  TScopedInternetHandle FInternet; // the session, opened on the first request
  std::string FObjectPath;         // the path part of the request in progress
  std::unique_ptr<char[]> FBlock;
};
