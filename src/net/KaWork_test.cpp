#include "net/KaWork.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes every notification into a shared log as "name:started",
// "name:finished" or "name:changed id pos/max".
class TRecorder : public IWorkObserver {
public:
  TRecorder(std::string name, std::vector<std::string>& log) : FName(std::move(name)), FLog(log) {
    Work().AddObserver(this);
  }
  ~TRecorder() override { Work().RemoveObserver(this); }

  void WorkStarted() override { FLog.push_back(FName + ":started"); }
  void WorkFinished() override { FLog.push_back(FName + ":finished"); }
  void WorkChanged(const IWorkLevel& level) override {
    FLog.push_back(FName + ":changed " + std::to_string(level.GetWorkID()) + " " +
                   std::to_string(level.GetPosition()) + "/" + std::to_string(level.GetMaximum()));
  }

private:
  std::string FName;
  std::vector<std::string>& FLog;
};

using Log = std::vector<std::string>;

TEST(Work, NotifiesStartChangeAndFinishInRegistrationOrder) {
  Log log;
  TRecorder a("a", log), b("b", log);
  Work().BeginWork(WorkFiles, 3);
  Work().SetPosition(1);
  Work().SetPosition(1); // unchanged: nothing
  Work().EndWork();      // short of its maximum: reported complete first
  EXPECT_EQ(log, (Log{"a:started", "b:started", "a:changed 11 0/3", "b:changed 11 0/3",
                      "a:changed 11 1/3", "b:changed 11 1/3", "a:changed 11 3/3",
                      "b:changed 11 3/3", "a:finished", "b:finished"}));
}

TEST(Work, UnmeasuredLevelsAndIdleCallsStayQuiet) {
  Log log;
  TRecorder a("a", log);
  Work().EndWork();
  Work().SetPosition(5);
  EXPECT_TRUE(log.empty());

  Work().BeginWork(WorkCall, 0);
  EXPECT_EQ(log, (Log{"a:started"}));
  Work().SetPosition(7); // moves are still reported, the maximum stays 0
  Work().EndWork();      // no completion for a level without a maximum
  EXPECT_EQ(log, (Log{"a:started", "a:changed 0 7/0", "a:finished"}));
}

TEST(Work, OnlyTheInnermostLevelIsReported) {
  Log log;
  TRecorder a("a", log);
  Work().BeginWork(WorkFiles, 2);
  Work().BeginWork(WorkCall, 0);
  Work().BeginWork(WorkReceive, 100);
  Work().SetPosition(100);
  Work().EndWork(); // already complete: nothing more
  Work().SetPosition(4);
  Work().EndWork();
  Work().SetPosition(1); // the files level again
  Work().EndWork();
  EXPECT_EQ(log, (Log{"a:started", "a:changed 11 0/2", "a:changed 1 0/100", "a:changed 1 100/100",
                      "a:changed 0 4/0", "a:changed 11 1/2", "a:changed 11 2/2", "a:finished"}));
}

TEST(Work, RemovedObserversHearNothing) {
  Log log;
  TRecorder a("a", log);
  {
    TRecorder b("b", log);
    Work().AddObserver(&b); // registered twice: removal takes one entry
    Work().RemoveObserver(&b);
    Work().BeginWork(WorkCall, 0);
    EXPECT_EQ(log, (Log{"a:started", "b:started"}));
  }
  Work().EndWork();
  EXPECT_EQ(log, (Log{"a:started", "b:started", "a:finished"}));
}

// An observer that, like a display processing window messages, makes another
// observer go away while it is being told.
class TRemover : public IWorkObserver {
public:
  IWorkObserver* Victim = nullptr;
  void WorkStarted() override {
    if (Victim)
      Work().RemoveObserver(Victim);
  }
  void WorkFinished() override {}
  void WorkChanged(const IWorkLevel&) override {}
};

TEST(Work, AnObserverRemovedDuringANotificationIsNotCalled) {
  Log log;
  TRemover remover;
  Work().AddObserver(&remover);
  TRecorder later("later", log);
  remover.Victim = &later;
  Work().BeginWork(WorkCall, 0);
  Work().EndWork();
  Work().RemoveObserver(&remover);
  EXPECT_TRUE(log.empty());
}

} // namespace
