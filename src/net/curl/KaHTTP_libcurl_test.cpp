#include "KaHTTPConformance.h"
#include "KaHTTP_libcurl.h"
#include "KaTestHTTPServer.h"

#include <gmock/gmock.h>

using testing::StartsWith;

INSTANTIATE_TEST_SUITE_P(libcurl, HTTPConformance,
                         testing::Values(THTTPBackEnd{
                             .Name = "libcurl",
                             .Create = HTTPClassOf<TKaHTTPCurl>(),
                             .CollectsContentType = true,
                             .OpensRequestLevel = true,
                         }),
                         HTTPBackEndName);

TEST(KaLib, AMissingLibraryNamesItselfAndTheSystemsReason) {
  TKaCurlLib lib("no-such-curl-library-4.dll");
  EXPECT_FALSE(lib.Load());
  EXPECT_FALSE(lib.IsLoaded());
  EXPECT_THAT(lib.GetLastErrorText(),
              StartsWith("Unable to load \"no-such-curl-library-4.dll\".\r\n"));
  EXPECT_GT(lib.GetLastErrorText().size(),
            std::string("Unable to load \"no-such-curl-library-4.dll\".\r\n").size());
  lib.Unload(); // not loaded: nothing to do
  EXPECT_FALSE(lib.IsLoaded());
}

TEST(KaLib, EntryPointsFollowLoadAndUnload) {
  TKaCurlLib& lib = CurlLib();
  ASSERT_TRUE(lib.Load()) << lib.GetLastErrorText();
  EXPECT_EQ(lib.GetLastErrorText(), "");
  for (void* p :
       {(void*)CurlEasyInit, (void*)CurlEasyCleanup, (void*)CurlEasySetopt, (void*)CurlEasyPerform,
        (void*)CurlEasyGetinfo, (void*)CurlSlistAppend, (void*)CurlSlistFreeAll})
    EXPECT_NE(p, nullptr);
  lib.Unload();
  EXPECT_FALSE(lib.IsLoaded());
  EXPECT_EQ(CurlEasyInit, nullptr);
  EXPECT_EQ(CurlSlistFreeAll, nullptr);
  EXPECT_TRUE(lib.Load());
  EXPECT_NE(CurlEasyPerform, nullptr);
}

TEST(KaHTTPCurl, RewindStartsTheBodyAgainWhereTheSourceStood) {
  TTestHTTPServer server;
  server.On("/echo", [](const TTestRequest& r) {
    TTestReply reply;
    reply.Body = r.Body;
    return reply;
  });
  TKaHTTPCurl http;
  TMemoryStream source("skip|the body"), target;
  source.SetPosition(5);
  ASSERT_TRUE(CurlLib().Load());
  CURL* handle = CurlEasyInit();
  {
    TWorkRecorder recorder;
    TKaHTTPCurlThread thread(http, target, &source, server.URL("/echo"), handle);
    EXPECT_EQ(thread.WaitFor(), CURLE_OK);
    EXPECT_EQ(target.Bytes(), "the body");
    source.SetPosition(9);
    EXPECT_EQ(TKaHTTPCurlThread::RewindCallback(handle, CURLIOCMD_RESTARTREAD, &thread),
              CURLIOE_OK);
    EXPECT_EQ(source.GetPosition(), 5);
    EXPECT_EQ(TKaHTTPCurlThread::RewindCallback(handle, CURLIOCMD_NOP, &thread), CURLIOE_OK);
    EXPECT_EQ(TKaHTTPCurlThread::RewindCallback(handle, 7, &thread), CURLIOE_UNKNOWNCMD);
  }
  CurlEasyCleanup(handle);
}
