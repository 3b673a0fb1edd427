#include "KaHTTPBackEnds.h"

#include "KaHTTP.h"
#include "KaHTTP_indy.h"
#include "KaHTTP_libcurl.h"

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
