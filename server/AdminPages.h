#pragma once

#include "server/ReleaseStore.h"
#include "server/ServerMetrics.h"

#include <functional>
#include <string>

// One answer of the admin listener.
struct TAdminPage {
  int Status = 200;
  std::string ContentType = "text/plain; charset=utf-8";
  std::string Body;
};

// What the admin listener answers, apart from HTTP: GET /healthz (200 while
// the store's current release can be read, 503 otherwise) and GET /metrics
// (the Prometheus text). The admin listener is for operators and their
// scrapers only; these paths never answer on the public port.
class TAdminPages {
public:
  static constexpr const char* HealthPath = "/healthz";
  static constexpr const char* MetricsPath = "/metrics";

  TAdminPages(TReleaseStore& store, const TServerMetrics& metrics,
              std::function<int()> openConnections);

  // `method` and `target` as the request line has them; HEAD gets GET's
  // status and headers (the caller drops the body).
  TAdminPage Answer(const std::string& method, const std::string& target) const;

private:
  TAdminPage Health() const;

  TReleaseStore& FStore;
  const TServerMetrics& FMetrics;
  std::function<int()> FOpenConnections;
};
