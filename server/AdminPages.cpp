#include "server/AdminPages.h"

#include "base/KaExceptions.h"

TAdminPages::TAdminPages(TReleaseStore& store, const TServerMetrics& metrics,
                         std::function<int()> openConnections)
    : FStore(store), FMetrics(metrics), FOpenConnections(std::move(openConnections)) {}

TAdminPage TAdminPages::Answer(const std::string& method, const std::string& target) const {
  const std::string path = target.substr(0, target.find('?'));
  TAdminPage page;
  if (path != HealthPath && path != MetricsPath) {
    page.Status = 404;
    page.Body = "Not found\n";
    return page;
  }
  if (method != "GET" && method != "HEAD") {
    page.Status = 405;
    page.Body = "Only GET is served here\n";
    return page;
  }
  if (path == HealthPath)
    return Health();
  std::shared_ptr<const TRelease> current;
  try {
    current = FStore.Current();
  } catch (...) {
    // A store that cannot be read serves no release; /healthz says why.
  }
  page.ContentType = "text/plain; version=0.0.4; charset=utf-8";
  page.Body = FMetrics.Exposition(FOpenConnections(), current ? current->Number : 0);
  return page;
}

// Read afresh, not from the cache that requests use: a store that went away
// under a running server must show here even though answers from memory
// would still go out for a while.
TAdminPage TAdminPages::Health() const {
  TAdminPage page;
  try {
    int number = FStore.CheckCurrent();
    if (number == 0) {
      page.Status = 503;
      page.Body = "no release has been published\n";
    } else {
      page.Body = "ok: release " + std::to_string(number) + "\n";
    }
  } catch (const Exception& e) {
    page.Status = 503;
    page.Body = e.Message() + "\n";
  } catch (const std::exception& e) {
    page.Status = 503;
    page.Body = std::string(e.what()) + "\n";
  }
  return page;
}
