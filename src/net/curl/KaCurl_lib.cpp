#include "net/curl/KaCurl_lib.h"

TCurlEasyInit CurlEasyInit = nullptr;
TCurlEasyCleanup CurlEasyCleanup = nullptr;
TCurlEasySetopt CurlEasySetopt = nullptr;
TCurlEasyPerform CurlEasyPerform = nullptr;
TCurlEasyGetinfo CurlEasyGetinfo = nullptr;
TCurlSlistAppend CurlSlistAppend = nullptr;
TCurlSlistFreeAll CurlSlistFreeAll = nullptr;

namespace {
template <class T> void Bind(T& pointer, void* address) { pointer = reinterpret_cast<T>(address); }
} // namespace

TKaCurlLib::~TKaCurlLib() { Unload(); }

void TKaCurlLib::BindEntryPoints() {
  Bind(CurlEasyInit, EntryPoint("curl_easy_init"));
  Bind(CurlEasyCleanup, EntryPoint("curl_easy_cleanup"));
  Bind(CurlEasySetopt, EntryPoint("curl_easy_setopt"));
  Bind(CurlEasyPerform, EntryPoint("curl_easy_perform"));
  Bind(CurlEasyGetinfo, EntryPoint("curl_easy_getinfo"));
  Bind(CurlSlistAppend, EntryPoint("curl_slist_append"));
  Bind(CurlSlistFreeAll, EntryPoint("curl_slist_free_all"));
}

TKaCurlLib& CurlLib() {
  static TKaCurlLib lib;
  return lib;
}
