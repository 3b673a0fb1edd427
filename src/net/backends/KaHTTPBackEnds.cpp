#include "net/backends/KaHTTPBackEnds.h"

#include "net/KaHTTP.h"
#include "net/indy/KaHTTP_indy.h"
#include "net/curl/KaHTTP_libcurl.h"

#include <mutex>

// The platform's own back ends.
void RegisterPlatformHTTPBackEnds(IHTTPFactory& factory);

void RegisterHTTPBackEnds() {
  static std::once_flag once;
  std::call_once(once, [] {
    IHTTPFactory& factory = HTTPFactory();
    factory.Register("Indy", HTTPClassOf<TKaHTTP_indy>());
    RegisterPlatformHTTPBackEnds(factory);
    factory.Register("libcurl", HTTPClassOf<TKaHTTPCurl>());
  });
}
