#include "setup/WorkSession.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

// Records what the tracker tells it, under its own name.
class TNamedObserver : public IWorkObserver {
public:
  TNamedObserver(std::string name, std::vector<std::string>& log)
      : FName(std::move(name)), FLog(log) {}
  void WorkStarted() override { FLog.push_back(FName + " started"); }
  void WorkFinished() override { FLog.push_back(FName + " finished"); }
  void WorkChanged(const IWorkLevel& level) override {
    FLog.push_back(FName + " " + std::to_string(level.GetWorkID()) + ":" +
                   std::to_string(level.GetPosition()));
  }

private:
  std::string FName;
  std::vector<std::string>& FLog;
};

} // namespace

TEST(WorkSession, AttachesOpensClosesAndDetachesOnEveryPath) {
  std::vector<std::string> log;
  TNamedObserver files("files", log), bytes("bytes", log);
  try {
    TWorkSession session({&files, &bytes});
    TWorkGuard level(WorkFiles, 2);
    Work().SetPosition(1);
    throw std::runtime_error("a step fails");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(log, (std::vector<std::string>{"files started", "bytes started", "files 11:0",
                                           "bytes 11:0", "files 11:1", "bytes 11:1", "files 11:2",
                                           "bytes 11:2", "files finished", "bytes finished"}));
  // Detached: later work reaches neither.
  log.clear();
  Work().BeginWork(WorkCall, 0);
  Work().EndWork();
  EXPECT_TRUE(log.empty());

  // Finished early, the session does nothing more when it goes.
  {
    TWorkSession session({&files});
    session.Finish();
    EXPECT_EQ(log, (std::vector<std::string>{"files started", "files finished"}));
  }
  EXPECT_EQ(log.size(), 2u);
}
