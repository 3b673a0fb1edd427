#include "net/KaHTTP.h"
#include "net/wininet/KaHTTP_wininet.h"

void RegisterPlatformHTTPBackEnds(IHTTPFactory& factory) {
  factory.Register("WinInet", HTTPClassOf<TKaHTTP_wininet>());
}
