#pragma once

#include "net/KaHTTP.h"
#include "net/KaWork.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// The behaviour every HTTP back end shares, and where they differ, as one set
// of tests instantiated per back end:
//   INSTANTIATE_TEST_SUITE_P(libcurl, HTTPConformance, testing::Values(...),
//                            HTTPBackEndName);
struct THTTPBackEnd {
  std::string Name;
  THTTPClass Create;
  bool SupportsHead = false;            // the others raise "HEAD not implemented!"
  bool CollectsContentType = false;     // the response's content type is filled in
  bool CollectsLastModified = false;    // the response's last-modified date is filled in
  bool SendsRequestContentType = false; // else "application/octet-stream" goes out
  bool RetriesGetAfterReset = false;
  bool OpensRequestLevel = false;
  // tinyproxy answers a request without credentials before reading its body
  // and resets the connection under the unread rest; a client that sends the
  // body without watching for an early answer loses the challenge with it.
  bool LosesChallengeUnderBody = false; // a level 0 around each request
  // The pieces a large answer reaches the target in are as large as this,
  // at the most: the back end's read block, or the library's cap on what
  // one callback hands over.
  int64_t ReadBlock = 0;
};

std::string HTTPBackEndName(const testing::TestParamInfo<THTTPBackEnd>& info);

// The message of the EHTTP the action raises; a marker text when none.
std::string EHTTPMessageOf(const std::function<void()>& action);

// Everything Work tells its observers, in order, as short texts:
// "started", "finished", "changed <id> <position>/<maximum>".
class TWorkRecorder : public IWorkObserver {
public:
  TWorkRecorder() { Work().AddObserver(this); }
  ~TWorkRecorder() override { Work().RemoveObserver(this); }

  void WorkStarted() override { Events.push_back("started"); }
  void WorkFinished() override { Events.push_back("finished"); }
  void WorkChanged(const IWorkLevel& level) override;

  // The "changed" events of one identifier.
  std::vector<std::string> Changes(int32_t workId) const;

  std::vector<std::string> Events;
};

class HTTPConformance : public testing::TestWithParam<THTTPBackEnd> {
protected:
  IHTTPPtr NewClient() const { return GetParam().Create(); }
};
