#include "KaHTTP.h"
#include "KaHTTP_wininet.h"

void RegisterPlatformHTTPBackEnds(IHTTPFactory& factory) {
  factory.Register("WinInet", HTTPClassOf<TKaHTTP_wininet>());
}
