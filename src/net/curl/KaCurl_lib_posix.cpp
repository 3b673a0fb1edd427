#include "net/curl/KaCurl_lib.h"

const char* const CurlLibFileName = "libcurl.so.4";
