#include "setup/WorkSession.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(WorkSession, AStopRequestEndsTheFilesLevelBetweenFilesAndNowhereElse) {
  std::vector<std::string> log;
  TNamedObserver files("files", log);
  bool stop = false;
  int fetched = 0;
  auto update = [&](int count) {
    TWorkGuard level(WorkFiles, count);
    for (int position = 1; position <= count; ++position) {
      Work().SetPosition(position);
      {
        // Bytes of one file: never stopped in their middle.
        TWorkGuard bytes(WorkReceive, 100);
        Work().SetPosition(50);
      }
      ++fetched;
    }
  };

  // Not asked to stop: every file.
  {
    TWorkSession session({&files}, [&] { return stop; });
    update(3);
    session.Finish();
  }
  EXPECT_EQ(fetched, 3);

  // Asked after the first file: the second is not begun; the displays see no
  // more of it, and nothing stays open or attached.
  fetched = 0;
  log.clear();
  EXPECT_THROW(
      {
        TWorkSession session({&files}, [&] { return stop; });
        TWorkGuard bytes(WorkCall, 0);
        Work().BeginWork(WorkFiles, 3);
        Work().EndWork();
        stop = true; // asked once the level opened: the opening itself went by
        Work().BeginWork(WorkFiles, 4);
        Work().EndWork(); // the end of a level, even when asked, goes by
        update(3);
      },
      EWorkStopped);
  EXPECT_EQ(fetched, 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "files 11:1"), 0) << "the display saw the stop";
  EXPECT_EQ(log.back(), "files finished");
  log.clear();
  Work().BeginWork(WorkCall, 0);
  Work().EndWork();
  EXPECT_TRUE(log.empty());

  // The last file's turn is its level's end as well: it goes ahead.
  fetched = 0;
  {
    TWorkSession session({}, [&] { return stop; });
    update(1);
  }
  EXPECT_EQ(fetched, 1);
}
