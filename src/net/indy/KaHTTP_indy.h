#pragma once

#include "net/KaHTTP.h"

#include <memory>

// A socket error of the client, worded as the platform's sockets word it:
// "Socket Error # 10054\r\nConnection reset by peer."
KA_DECLARE_EXCEPTION(EIdSocketError, EHTTP);
// An answer that ran out of the client's patience (net/KaPatience.h).
KA_DECLARE_EXCEPTION(EIdReadTimeout, EHTTP);

// The HTTP client on a socket-level HTTP/1.1 client (cpp-httplib): GET, POST
// and HEAD to and from streams on a kept-alive connection, through a proxy
// whose challenge is answered from the stored credentials, with the bytes
// moving reported to Work. The default back end: the factory falls back to it.
class TKaHTTP_indy : public THTTP {
public:
  // A GET that meets a connection reset is tried again with a fresh client;
  // this is the number of attempts in all before the reset is raised.
  static constexpr int GetAttempts = 4;
  // The block an answer's body is read in (the client component's own).
  static const int64_t ReadBlock;

  TKaHTTP_indy();
  ~TKaHTTP_indy() override;

  std::string GetString(const std::string& url) override;
  void Get(const std::string& url, TStream& target) override;
  void Post(const std::string& url, TStream& source, TStream& target) override;
  void Head(const std::string& url) override;

  struct TClient;

private:
  void CreateClient();
  void ApplySettings();
  void CollectResponse();
  // One request without the GET's retry; the response is collected also on failure.
  void Exchange(const std::string& method, const std::string& url, TStream* source,
                TStream* target);

  std::unique_ptr<TClient> FClient;
};
