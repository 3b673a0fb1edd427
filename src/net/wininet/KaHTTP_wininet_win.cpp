#include "net/wininet/KaHTTP_wininet.h"

#include "base/KaStrings.h"
#include "net/KaPatience.h"
#include "net/KaWork.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

namespace {

[[noreturn]] void Raise(const char* what, DWORD code) {
  throw EHTTP(std::string(what) + " failed! Code " + std::to_string(static_cast<long>(code)) + ".");
}

[[noreturn]] void RaiseLast(const char* what) { Raise(what, GetLastError()); }

const char* AcceptTypes[] = {"*/*", nullptr};
constexpr DWORD RequestFlags = INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_CACHE_WRITE;
constexpr DWORD BlockSize = TKaHTTP_wininet::BlockSize;
// WinInet asks for the body again after it has dealt with an answer itself;
// a peer that keeps it asking must not hold the caller for ever.
constexpr int MaxForcedRetries = 8;

int32_t StatusCode(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr))
    RaiseLast("HttpQueryInfo");
  // Wine's WinInet ends a request whose connection was reset before any
  // answer as if it had succeeded, with status 0: no answer is a failure.
  if (status == 0)
    Raise("HttpQueryInfo", ERROR_HTTP_INVALID_SERVER_RESPONSE);
  return static_cast<int32_t>(status);
}

int32_t ContentLength(HINTERNET request) {
  DWORD length = 0, size = sizeof length;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size,
                      nullptr))
    return 0;
  return static_cast<int32_t>(length);
}

void StoreResponse(IHTTP& http, HINTERNET request) {
  http.GetResponse().SetStatusCode(StatusCode(request));
  http.GetResponse().SetContentLength(ContentLength(request));
}

// The body of the answer in blocks; a body that only precedes a retry is
// read past (target none).
void ReadBody(IHTTP& http, HINTERNET request, TStream* target, char* block) {
  // The length as the server sent it, up to 4 GB (0 when it sent none).
  ExpectAnswerLength(target, static_cast<uint32_t>(http.GetResponse().GetContentLength()));
  TWorkGuard receiving(WorkReceive, http.GetResponse().GetContentLength());
  DWORD n = 0;
  int64_t total = 0;
  // A stalled answer ends at the receive time-out. A read waits until its
  // block is full, so one that trickles would hold it for as many seconds as
  // the block has bytes: each read takes no more than has arrived, and the
  // trickle is given up here.
  TPatience patience(TPatience::TClock::now());
  for (;;) {
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0)
      break;
    InternetReadFile(request, block, std::min(available, BlockSize), &n);
    if (n == 0)
      break;
    if (target)
      target->WriteBuffer(block, n);
    total += n;
    Work().SetPosition(static_cast<int32_t>(total));
    n = 0;
    const auto now = TPatience::TClock::now();
    patience.Moved(total, now);
    if (patience.Exhausted(now))
      Raise("InternetReadFile", ERROR_INTERNET_TIMEOUT);
  }
}

// Whether one of the answer's Proxy-Authenticate headers offers Basic.
bool OffersBasic(HINTERNET request) {
  for (DWORD index = 0;;) {
    char value[1024];
    DWORD size = sizeof value - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_PROXY_AUTHENTICATE, value, &size, &index))
      return false;
    if (SameText(CopyBeforeFirst(" ", Trim(std::string(value, size))), "Basic"))
      return true;
  }
}

// The answer to a proxy's challenge before the one retry: both credentials
// on the connect handle, each with its byte length; and, when the proxy
// offers Basic, the header itself on the request. Wine's WinInet answers a
// challenge from the credentials only inside HttpSendRequest; the 407 that
// HttpEndRequest reads (the end of every POST) it hands back untouched, and
// the next HttpSendRequestEx goes out without Proxy-Authorization, so a POST
// through such a proxy would never pass.
void AnswerProxyChallenge(IHTTP& http, HINTERNET connect, HINTERNET request) {
  std::string user = http.GetProxySettings().GetUsername();
  std::string password = http.GetProxySettings().GetPassword();
  InternetSetOptionA(connect, INTERNET_OPTION_PROXY_USERNAME, user.data(),
                     static_cast<DWORD>(user.size()));
  InternetSetOptionA(connect, INTERNET_OPTION_PROXY_PASSWORD, password.data(),
                     static_cast<DWORD>(password.size()));
  if (user.empty() || !OffersBasic(request))
    return;
  std::string header = "Proxy-Authorization: Basic " + Base64Encode(user + ":" + password) + "\r\n";
  // Without the header the retry is refused as before: nothing to report.
  HttpAddRequestHeadersA(request, header.c_str(), static_cast<DWORD>(header.size()),
                         HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
}

} // namespace

void TInternetHandleTraits::Close(void* handle) noexcept { InternetCloseHandle(handle); }

void TKaHTTP_wininet::OpenInternet() {
  if (FInternet)
    return;
  const char* agent = "Mozilla/3.0 (compatible; MSIE 6.0; V.o)";
  IProxySettings& proxy = GetProxySettings();
  HINTERNET handle;
  if (proxy.GetAuto()) {
    handle = InternetOpenA(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  } else if (!proxy.GetHost().empty()) {
    std::string name = proxy.GetHost() + ":" + std::to_string(proxy.GetPort());
    handle = InternetOpenA(agent, INTERNET_OPEN_TYPE_PROXY, name.c_str(), nullptr, 0);
  } else {
    handle = InternetOpenA(agent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  }
  if (!handle)
    RaiseLast("InternetOpen");
  FInternet.Reset(handle);
}

namespace {

HINTERNET Connect(TKaHTTP_wininet& http, HINTERNET internet, const std::string& url,
                  std::string& objectPath) {
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = 1;
  parts.dwHostNameLength = 1;
  parts.dwUrlPathLength = 1;
  // Cracking only points into the URL: the pieces are copied out by length.
  if (url.empty() || !InternetCrackUrlA(url.c_str(), 0, 0, &parts))
    RaiseLast("InternetConnect");
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
    throw EHTTP("Invalid URL: " + url + "!");
  objectPath.assign(parts.lpszUrlPath ? parts.lpszUrlPath : "", parts.dwUrlPathLength);
  std::string host(parts.lpszHostName ? parts.lpszHostName : "", parts.dwHostNameLength);
  HINTERNET connect =
      InternetConnectA(internet, host.c_str(), parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP,
                       0, reinterpret_cast<DWORD_PTR>(&http));
  if (!connect)
    RaiseLast("InternetConnect");
  return connect;
}

HINTERNET OpenRequest(TKaHTTP_wininet& http, HINTERNET connect, const char* verb,
                      const std::string& objectPath) {
  HINTERNET request =
      HttpOpenRequestA(connect, verb, objectPath.c_str(), nullptr, nullptr, AcceptTypes,
                       RequestFlags, reinterpret_cast<DWORD_PTR>(&http));
  if (!request)
    RaiseLast("HttpOpenRequest");
  // The client's patience with an answer that stops moving. Set on the
  // request itself: Wine's requests do not take it from the internet handle.
  DWORD patience = PatienceSeconds * 1000;
  InternetSetOptionA(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &patience, sizeof patience);
  return request;
}

} // namespace

std::string TKaHTTP_wininet::GetString(const std::string& url) {
  TMemoryStream target;
  Get(url, target);
  return target.Bytes();
}

void TKaHTTP_wininet::Get(const std::string& url, TStream& target) {
  OpenInternet();
  GetResponse().Clear();
  TWorkGuard call(WorkCall, 0);
  TScopedInternetHandle connection(Connect(*this, FInternet.Get(), url, FObjectPath));
  TScopedInternetHandle opened(OpenRequest(*this, connection.Get(), "GET", FObjectPath));
  HINTERNET connect = connection.Get(), request = opened.Get();
  bool proxyRetried = false;
  for (bool retry = true; retry;) {
    retry = false;
    if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0))
      RaiseLast("HttpSendRequest");
    StoreResponse(*this, request);
    if (GetResponse().GetStatusCode() == HTTP_STATUS_PROXY_AUTH_REQ && !proxyRetried) {
      AnswerProxyChallenge(*this, connect, request);
      proxyRetried = retry = true;
    }
    ReadBody(*this, request, retry ? nullptr : &target, Block());
  }
}

void TKaHTTP_wininet::Post(const std::string& url, TStream& source, TStream& target) {
  OpenInternet();
  const int64_t start = source.GetPosition();
  const DWORD toSend = static_cast<DWORD>(source.GetSize() - start);
  GetResponse().Clear();
  TWorkGuard call(WorkCall, 0);
  TScopedInternetHandle connection(Connect(*this, FInternet.Get(), url, FObjectPath));
  TScopedInternetHandle opened(OpenRequest(*this, connection.Get(), "POST", FObjectPath));
  HINTERNET connect = connection.Get(), request = opened.Get();
  std::string contentType = Trim(GetRequest().GetContentType());
  if (!contentType.empty()) {
    std::string header = "Content-Type: " + contentType + "\r\n";
    if (!HttpAddRequestHeadersA(request, header.c_str(), static_cast<DWORD>(header.size()),
                                HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE))
      RaiseLast("HttpAddRequestHeaders");
  }
  bool proxyRetried = false;
  int forcedRetries = 0;
  for (bool retry = true; retry;) {
    retry = false;
    INTERNET_BUFFERSA buffers{};
    buffers.dwStructSize = sizeof buffers;
    buffers.dwBufferTotal = toSend;
    if (!HttpSendRequestExA(request, &buffers, nullptr, 0, reinterpret_cast<DWORD_PTR>(this)))
      RaiseLast("HttpSendRequestEx");
    source.SetPosition(start);
    DWORD writeError = 0;
    {
      TWorkGuard sending(WorkSend, static_cast<int32_t>(toSend));
      char* block = Block();
      int32_t total = 0;
      for (int64_t n; !writeError && (n = source.Read(block, BlockSize)) != 0;) {
        DWORD written = 0;
        // After a failed block the rest is not sent: a body with a hole in
        // it must never reach the server. The peer may well have answered
        // already (a proxy's challenge), which decides below.
        if (!InternetWriteFile(request, block, static_cast<DWORD>(n), &written) ||
            written != static_cast<DWORD>(n)) {
          writeError = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
          Sleep(0);
          continue;
        }
        total += static_cast<int32_t>(n);
        Work().SetPosition(total);
      }
    }
    if (!HttpEndRequestA(request, nullptr, 0, 0)) {
      DWORD code = GetLastError();
      if (code != ERROR_INTERNET_FORCE_RETRY || ++forcedRetries > MaxForcedRetries)
        Raise("HttpEndRequest", code);
      retry = true;
    }
    StoreResponse(*this, request);
    if (!retry && GetResponse().GetStatusCode() == HTTP_STATUS_PROXY_AUTH_REQ && !proxyRetried) {
      AnswerProxyChallenge(*this, connect, request);
      proxyRetried = retry = true;
    }
    // A body that did not go out whole is a failure unless it is sent again.
    if (writeError && !retry)
      Raise("InternetWriteFile", writeError);
    ReadBody(*this, request, retry ? nullptr : &target, Block());
  }
}

char* TKaHTTP_wininet::Block() {
  if (!FBlock)
    FBlock = std::make_unique<char[]>(BlockSize);
  return FBlock.get();
}

void TKaHTTP_wininet::Head(const std::string& url) { throw EHTTP("HEAD not implemented!"); }
