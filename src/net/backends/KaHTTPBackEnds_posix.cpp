#include "net/KaHTTP.h"

// WinInet exists only on Windows.
void RegisterPlatformHTTPBackEnds(IHTTPFactory&) {}
