#include "net/curl/KaHTTP_libcurl.h"
#include "net/testing/KaHTTPConformance.h"
#include "net/testing/KaTestHTTPServer.h"

#include <gmock/gmock.h>

#include <algorithm>

using testing::StartsWith;

INSTANTIATE_TEST_SUITE_P(libcurl, HTTPConformance,
                         testing::Values(THTTPBackEnd{
                             .Name = "libcurl",
                             .Create = HTTPClassOf<TKaHTTPCurl>(),
                             .CollectsContentType = true,
                             .OpensRequestLevel = true,
                             .ReadBlock = CURL_MAX_WRITE_SIZE,
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

TEST(KaHTTPCurl, ABodySentAgainOnAFreshConnectionStartsWhereTheSourceStood) {
  TTestHTTPServer server;
  int calls = 0;
  server.On("/echo", [&calls](const TTestRequest& r) {
    TTestReply reply;
    reply.Body = "echo:" + r.Body;
    // The kept-alive connection dies under the second request: libcurl
    // connects afresh and has the body read again from its start.
    reply.Reset = ++calls == 2;
    return reply;
  });
  TKaHTTPCurl http;
  TMemoryStream first("warm"), target;
  http.Post(server.URL("/echo"), first, target);
  TMemoryStream source("skip|the body"), target2;
  source.SetPosition(5);
  TWorkRecorder recorder;
  http.Post(server.URL("/echo"), source, target2);
  EXPECT_EQ(target2.Bytes(), "echo:the body");
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(server.Requests().back().Body, "the body");
  std::vector<std::string> sent = recorder.Changes(WorkSend);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "changed 2 0/8"), 2)
      << "the rewind opened the level again";
  EXPECT_EQ(recorder.Events.back(), "finished");
}

TEST(KaHTTPCurl, RewindCommands) {
  TTestHTTPServer server;
  server.On("/echo", TTestReply{});
  TKaHTTPCurl http;
  TMemoryStream source("skip|the body"), target;
  source.SetPosition(5);
  ASSERT_TRUE(CurlLib().Load());
  CURL* handle = CurlEasyInit();
  {
    TKaHTTPCurlThread thread(http, target, &source, server.URL("/echo"), handle);
    EXPECT_EQ(thread.WaitFor(), CURLE_OK);
    source.SetPosition(9);
    EXPECT_EQ(TKaHTTPCurlThread::RewindCallback(handle, CURLIOCMD_RESTARTREAD, &thread),
              CURLIOE_OK);
    EXPECT_EQ(source.GetPosition(), 5);
    EXPECT_EQ(TKaHTTPCurlThread::RewindCallback(handle, CURLIOCMD_NOP, &thread), CURLIOE_OK);
    EXPECT_EQ(TKaHTTPCurlThread::RewindCallback(handle, 7, &thread), CURLIOE_UNKNOWNCMD);
  }
  CurlEasyCleanup(handle);
}
