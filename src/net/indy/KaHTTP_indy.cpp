#include "net/indy/KaHTTP_indy.h"

#include "base/KaProcess.h"
#include "base/KaStrings.h"
#include "net/KaPatience.h"
#include "net/KaWork.h"

#include <httplib.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>

namespace {

enum class TWorkMode { wmRead, wmWrite };

// Bodies go out in large blocks: each is a socket call.
constexpr int64_t SendBlock = 64 * 1024;

struct TURL {
  std::string Host;
  int Port = 80;
  std::string Path;
};

TURL CrackURL(const std::string& url) {
  if (!SameText(url.substr(0, 7), "http://"))
    throw EHTTP("Invalid URL: " + url + "!");
  std::string rest = url.substr(7);
  size_t slash = rest.find('/');
  TURL result;
  result.Path = slash == std::string::npos ? "/" : rest.substr(slash);
  std::string hostPort = rest.substr(0, slash);
  size_t colon = hostPort.rfind(':');
  result.Host = hostPort.substr(0, colon);
  int64_t port = 80;
  if (colon != std::string::npos && !TryStrToInt64(hostPort.substr(colon + 1), port))
    throw EHTTP("Invalid URL: " + url + "!");
  result.Port = static_cast<int>(port);
  if (result.Host.empty())
    throw EHTTP("Invalid URL: " + url + "!");
  return result;
}

// "Sun, 06 Nov 1994 08:49:37 GMT" as local time; 0 when the text is not a date.
TDateTime ParseHTTPDate(const std::string& text) {
  static const char* const Months = "JanFebMarAprMayJunJulAugSepOctNovDec";
  TDateTimeParts parts;
  char month[4] = {};
  if (std::sscanf(text.c_str(), "%*3s, %d %3s %d %d:%d:%d", &parts.Day, month, &parts.Year,
                  &parts.Hour, &parts.Minute, &parts.Second) != 6)
    return TDateTime();
  const char* found = std::strstr(Months, month);
  if (!found || std::strlen(month) != 3 || (found - Months) % 3 != 0)
    return TDateTime();
  parts.Month = static_cast<int>(found - Months) / 3 + 1;
  TDateTime utc;
  return TryEncodeDateTime(parts, utc) ? UTCToLocal(utc) : TDateTime();
}

} // namespace

// The client component: one kept-alive connection to the host of the last
// request (or to the proxy), the settings of the next request and what the
// last response said. Its events are bound to the back end.
struct TKaHTTP_indy::TClient {
  std::function<void(TWorkMode, int64_t)> OnWorkBegin;
  std::function<void(TWorkMode, int64_t)> OnWork;
  std::function<void(TWorkMode)> OnWorkEnd;
  std::function<void(std::string& userName, std::string& password, bool& handled)>
      OnProxyAuthorization;

  bool InProcessAuth = false;
  std::string ProxyServer;
  int ProxyPort = 80;
  std::string ContentType;

  int ResponseCode = -1;
  std::string ResponseContentType;
  TDateTime ResponseLastModified;

  // One request; false when the exchange broke (LastError says how). A
  // failure of the caller's streams or of a progress display is raised.
  bool Request(const std::string& method, const std::string& url, TStream* source, TStream* target);
  bool WasReset() const {
    return !FGivenUp && (LastError == httplib::Error::Read || LastError == httplib::Error::Write);
  }
  [[noreturn]] void RaiseLastError() const;
  void Disconnect() {
    if (FHttp)
      FHttp->stop();
  }

  httplib::Error LastError = httplib::Error::Success;

private:
  httplib::Client& ConnectionTo(const TURL& url);

  std::unique_ptr<httplib::Client> FHttp;
  std::string FConnectedTo;
  std::string FProxyUserName;
  std::string FProxyPassword;
  bool FAuthorized = false;
  bool FGivenUp = false;
  // Cuts the connection of an answer that has run out of patience; it goes
  // before the connection it cuts.
  TPatienceWatch FWatch{[this] { Disconnect(); }};
};

httplib::Client& TKaHTTP_indy::TClient::ConnectionTo(const TURL& url) {
  std::string key = url.Host + ":" + std::to_string(url.Port) + " via " + ProxyServer + ":" +
                    std::to_string(ProxyPort);
  if (!FHttp || key != FConnectedTo) {
    FHttp = std::make_unique<httplib::Client>(url.Host, url.Port);
    FHttp->set_keep_alive(true);
    // The request head and its body go out as separate writes: without this
    // the body waits for the acknowledgement of the head.
    FHttp->set_tcp_nodelay(true);
    if (InProcessAuth)
      FHttp->set_proxy(ProxyServer.c_str(), ProxyPort);
    FConnectedTo = key;
  }
  return *FHttp;
}

bool TKaHTTP_indy::TClient::Request(const std::string& method, const std::string& url,
                                    TStream* source, TStream* target) {
  TURL where = CrackURL(url);
  httplib::Client& http = ConnectionTo(where);
  const int64_t start = source ? source->GetPosition() : 0;
  const int64_t toSend = source ? source->GetSize() - start : 0;
  std::exception_ptr failure;
  std::unique_ptr<char[]> block;
  // Exceptions do not travel through the library: the callbacks catch them,
  // cancel the exchange and the failure is raised once it has returned.
  auto guarded = [&failure](const std::function<void()>& step) {
    try {
      step();
      return true;
    } catch (...) {
      failure = std::current_exception();
      return false;
    }
  };

  for (bool challenged = false, resent = false;;) {
    httplib::Request req;
    req.method = method;
    req.path = where.Path;
    if (!ContentType.empty())
      req.set_header("Content-Type", ContentType);
    if (FAuthorized && InProcessAuth)
      req.headers.insert(
          httplib::make_basic_authentication_header(FProxyUserName, FProxyPassword, true));
    bool sending = false, receiving = false, discard = false, answered = false;
    int64_t received = 0;
    if (source && toSend > 0) {
      req.content_length_ = static_cast<size_t>(toSend);
      req.content_provider_ = [&](size_t offset, size_t length, httplib::DataSink& sink) {
        return guarded([&] {
          if (!sending) {
            OnWorkBegin(TWorkMode::wmWrite, toSend);
            sending = true;
          }
          if (!block)
            block = std::make_unique<char[]>(SendBlock);
          source->SetPosition(start + static_cast<int64_t>(offset));
          int64_t n = source->Read(block.get(), std::min<int64_t>(SendBlock, length));
          if (n <= 0)
            throw EIdSocketError("Socket Error # 10054\r\nConnection reset by peer.");
          // A connection that breaks under the body is left to the library to
          // report as a failed write, so it is judged like any other break.
          if (!sink.write(block.get(), static_cast<size_t>(n)))
            return;
          OnWork(TWorkMode::wmWrite, static_cast<int64_t>(offset) + n);
          if (static_cast<int64_t>(offset) + n >= toSend) {
            sending = false;
            OnWorkEnd(TWorkMode::wmWrite);
          }
        });
      };
    } else if (source) {
      req.set_header("Content-Length", "0");
    }
    req.response_handler = [&](const httplib::Response& res) {
      answered = true;
      // A challenge about to be answered is read past, not delivered.
      discard = res.status == 407 && InProcessAuth && !challenged;
      if (discard)
        return true;
      return guarded([&] {
        int64_t length = 0;
        if (TryStrToInt64(res.get_header_value("Content-Length"), length))
          ExpectAnswerLength(target, length);
        OnWorkBegin(TWorkMode::wmRead, length);
        receiving = true;
      });
    };
    req.content_receiver = [&](const char* data, size_t size, uint64_t, uint64_t) {
      if (discard || !target)
        return true;
      return guarded([&] {
        target->WriteBuffer(data, static_cast<int64_t>(size));
        received += static_cast<int64_t>(size);
        FWatch.Moved(received);
        OnWork(TWorkMode::wmRead, received);
      });
    };

    httplib::Response res;
    LastError = httplib::Error::Success;
    const bool reused = http.is_socket_open() != 0;
    FWatch.Begin();
    bool ok = http.send(req, res, LastError);
    FGivenUp = FWatch.End() && !ok;
    if (receiving)
      OnWorkEnd(TWorkMode::wmRead);
    if (sending)
      OnWorkEnd(TWorkMode::wmWrite);
    ResponseCode = res.status;
    ResponseContentType = res.get_header_value("Content-Type");
    ResponseLastModified = ParseHTTPDate(res.get_header_value("Last-Modified"));
    if (failure)
      std::rethrow_exception(failure);
    // A peer may close a kept-alive connection between two exchanges at any
    // moment, and a proxy may do so after an answer that promised to keep it
    // (tinyproxy serves one request per connection yet drops the origin's
    // "Connection: close"). When the close arrives just after the library
    // found the connection still open, the next request breaks before a byte
    // of answer: it goes out once more on a fresh connection, as browsers and
    // libcurl do. A break on a fresh connection, or once an answer has begun,
    // is the caller's to see.
    if (!ok && reused && !resent && !answered && WasReset()) {
      resent = true;
      continue;
    }
    if (!ok)
      return false;
    if (!discard)
      return true;
    challenged = true;
    bool handled = false;
    OnProxyAuthorization(FProxyUserName, FProxyPassword, handled);
    FAuthorized = handled;
    if (!handled)
      return true;
  }
}

void TKaHTTP_indy::TClient::RaiseLastError() const {
  if (FGivenUp)
    throw EIdReadTimeout("Read timed out.");
  switch (LastError) {
  case httplib::Error::Connection:
    throw EIdSocketError("Socket Error # 10061\r\nConnection refused.");
  case httplib::Error::ConnectionTimeout:
    throw EIdSocketError("Socket Error # 10060\r\nConnection timed out.");
  case httplib::Error::Read:
  case httplib::Error::Write:
    throw EIdSocketError("Socket Error # 10054\r\nConnection reset by peer.");
  default: throw EHTTP(httplib::to_string(LastError));
  }
}

const int64_t TKaHTTP_indy::ReadBlock = CPPHTTPLIB_RECV_BUFSIZ;

TKaHTTP_indy::TKaHTTP_indy() { CreateClient(); }

TKaHTTP_indy::~TKaHTTP_indy() { FClient->Disconnect(); }

void TKaHTTP_indy::CreateClient() {
  if (FClient)
    FClient->Disconnect();
  FClient = std::make_unique<TClient>();
  FClient->OnWorkBegin = [](TWorkMode mode, int64_t maximum) {
    Work().BeginWork(mode == TWorkMode::wmWrite ? WorkSend : WorkReceive,
                     static_cast<int32_t>(maximum));
  };
  FClient->OnWork = [](TWorkMode, int64_t count) {
    Work().SetPosition(static_cast<int32_t>(count));
  };
  FClient->OnWorkEnd = [](TWorkMode) { Work().EndWork(); };
  FClient->OnProxyAuthorization = [this](std::string& userName, std::string& password,
                                         bool& handled) {
    userName = GetProxySettings().GetUsername();
    password = GetProxySettings().GetPassword();
    handled = true;
  };
}

void TKaHTTP_indy::ApplySettings() {
  GetResponse().Clear();
  IProxySettings& proxy = GetProxySettings();
  FClient->InProcessAuth = !proxy.GetHost().empty();
  FClient->ProxyServer = proxy.GetHost();
  FClient->ProxyPort = FClient->InProcessAuth ? proxy.GetPort() : 80;
  FClient->ContentType = GetRequest().GetContentType();
}

void TKaHTTP_indy::CollectResponse() {
  GetResponse().SetStatusCode(FClient->ResponseCode);
  GetResponse().SetContentType(FClient->ResponseContentType);
  GetResponse().SetLastModified(FClient->ResponseLastModified);
}

std::string TKaHTTP_indy::GetString(const std::string& url) {
  TMemoryStream target;
  Get(url, target);
  return target.Bytes();
}

void TKaHTTP_indy::Get(const std::string& url, TStream& target) {
  ApplySettings();
  const int64_t start = target.GetPosition();
  const int64_t size = target.GetSize();
  try {
    for (int attempt = 1; !FClient->Request("GET", url, nullptr, &target); ++attempt) {
      if (!FClient->WasReset() || attempt >= GetAttempts)
        FClient->RaiseLastError();
      // What the broken attempt wrote goes; the next one writes the body afresh.
      target.SetPosition(start);
      if (target.GetSize() > size)
        target.SetSize(size);
      CreateClient();
      ApplySettings();
      Pause(100);
    }
  } catch (...) {
    CollectResponse();
    throw;
  }
  CollectResponse();
}

void TKaHTTP_indy::Exchange(const std::string& method, const std::string& url, TStream* source,
                            TStream* target) {
  ApplySettings();
  try {
    if (!FClient->Request(method, url, source, target))
      FClient->RaiseLastError();
  } catch (...) {
    CollectResponse();
    throw;
  }
  CollectResponse();
}

void TKaHTTP_indy::Post(const std::string& url, TStream& source, TStream& target) {
  Exchange("POST", url, &source, &target);
}

void TKaHTTP_indy::Head(const std::string& url) { Exchange("HEAD", url, nullptr, nullptr); }
