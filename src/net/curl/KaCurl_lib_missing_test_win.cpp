#include "net/curl/KaHTTP_libcurl.h"

#include <gtest/gtest.h>

// This program is built where no libcurl-4.dll is found.
TEST(KaCurlLibMissing, EveryRequestRaisesAndTheLastErrorNamesTheFile) {
  TKaHTTPCurl http;
  TMemoryStream source("x"), target;
  for (int i = 0; i < 3; ++i) {
    try {
      switch (i) {
      case 0: http.GetString("http://127.0.0.1:9/"); break;
      case 1: http.Get("http://127.0.0.1:9/", target); break;
      case 2: http.Post("http://127.0.0.1:9/", source, target); break;
      }
      ADD_FAILURE() << "request " << i << " raised nothing";
    } catch (const EHTTP& e) {
      EXPECT_EQ(e.Message(), "Unable to load libcurl!");
    }
  }
  EXPECT_FALSE(CurlLib().IsLoaded());
  // ERROR_MOD_NOT_FOUND
  EXPECT_EQ(CurlLib().GetLastErrorText(), "Unable to load \"libcurl-4.dll\".\r\nCode \"126\".");
  EXPECT_EQ(CurlEasyInit, nullptr);
}
