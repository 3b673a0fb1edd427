// Round trips per second of each registered HTTP back end against the
// loopback test server: a small POST answered by a small body, on one
// client object (so on one kept-alive connection where the back end keeps it).
#include "net/KaHTTP.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "net/testing/KaTestHTTPServer.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

double RoundTripsPerSecond(IHTTP& http, const std::string& url, double seconds) {
  const std::string payload(64, 'p');
  auto once = [&] {
    TMemoryStream source(payload), target;
    http.Post(url, source, target);
    if (target.GetSize() != 64 || http.GetResponse().GetStatusCode() != 200)
      throw EHTTP("unexpected answer");
  };
  for (int i = 0; i < 20; ++i)
    once();
  using Clock = std::chrono::steady_clock;
  auto start = Clock::now();
  long count = 0;
  double elapsed = 0;
  do {
    for (int i = 0; i < 50; ++i)
      once();
    count += 50;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  } while (elapsed < seconds);
  return count / elapsed;
}

} // namespace

int main(int argc, char** argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  RegisterHTTPBackEnds();
  TTestHTTPServer server;
  server.On("/rt", [](const TTestRequest& r) {
    TTestReply reply;
    reply.Body = r.Body;
    return reply;
  });
  auto& factory = dynamic_cast<THTTPFactory&>(HTTPFactory());
  int failures = 0;
  for (const char* name : {"WinInet", "libcurl", "Indy"}) {
    THTTPClass create = factory.Find(name);
    if (!create)
      continue;
    try {
      IHTTPPtr http = create();
      double rate = RoundTripsPerSecond(*http, server.URL("/rt"), seconds);
      std::printf("http_roundtrip %-8s %8.0f round trips/s (64-byte POST and answer, loopback)\n",
                  name, rate);
    } catch (const std::exception& e) {
      std::printf("http_roundtrip %-8s failed: %s\n", name, e.what());
      ++failures;
    }
  }
  return failures ? 1 : 0;
}
