#pragma once

#include "base/KaLib.h"

#include <curl/curl.h>

// The seven libcurl calls the program makes, bound at run time from the
// library CurlLib loads: the program starts and works without libcurl as long
// as another back end is chosen. Each is nullptr while the library is not
// loaded or lacks the name.
using TCurlEasyInit = CURL* (*)();
using TCurlEasyCleanup = void (*)(CURL*);
using TCurlEasySetopt = CURLcode (*)(CURL*, CURLoption, ...);
using TCurlEasyPerform = CURLcode (*)(CURL*);
using TCurlEasyGetinfo = CURLcode (*)(CURL*, CURLINFO, ...);
using TCurlSlistAppend = curl_slist* (*)(curl_slist*, const char*);
using TCurlSlistFreeAll = void (*)(curl_slist*);

extern TCurlEasyInit CurlEasyInit;
extern TCurlEasyCleanup CurlEasyCleanup;
extern TCurlEasySetopt CurlEasySetopt;
extern TCurlEasyPerform CurlEasyPerform;
extern TCurlEasyGetinfo CurlEasyGetinfo;
extern TCurlSlistAppend CurlSlistAppend;
extern TCurlSlistFreeAll CurlSlistFreeAll;

// "libcurl-4.dll" on Windows, "libcurl.so.4" elsewhere.
extern const char* const CurlLibFileName;

class TKaCurlLib : public TLib {
public:
  explicit TKaCurlLib(std::string fileName = CurlLibFileName) : TLib(std::move(fileName)) {}
  ~TKaCurlLib() override;

protected:
  void BindEntryPoints() override;
};

// The single libcurl binding, created on first use (not loaded until Load).
TKaCurlLib& CurlLib();
