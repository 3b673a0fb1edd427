#include "ui/KaScopedRegistration.h"

#include "net/KaWork.h"
#include "ui/KaLayoutManager.h"
#include "ui/KaTheme.h"

#include <gtest/gtest.h>

namespace {

class ThemeListener : public IThemeable {
public:
  void ThemeChanged() override { ++Calls; }
  int Calls = 0;
};

class LayoutClient : public ILayoutClient {
public:
  void Reposition(ILayoutControl*) override { ++Calls; }
  void FollowEnabled(ILayoutControl*) override {}
  void ControlDestroyed(ILayoutControl*) override {}
  int Calls = 0;
};

class WorkObserver : public IWorkObserver {
public:
  void WorkStarted() override { ++Calls; }
  void WorkFinished() override {}
  void WorkChanged(const IWorkLevel&) override {}
  int Calls = 0;
};

} // namespace

TEST(ScopedRegistration, LeavesTheServiceWhenItGoes) {
  auto manager = std::make_shared<TThemeManager>();
  ThemeListener listener;
  {
    TScopedRegistration<IThemeManager, IThemeable> registration(&listener, manager);
    EXPECT_TRUE(registration.IsRegistered());
    manager->SetTheme(nullptr);
    EXPECT_EQ(listener.Calls, 1);
  }
  manager->SetTheme(nullptr);
  EXPECT_EQ(listener.Calls, 1);
  EXPECT_EQ(manager->RemoveListener(&listener), -1);
}

TEST(ScopedRegistration, KeepsAServiceAliveAndMovesBetweenServices) {
  LayoutClient client;
  auto first = std::make_shared<TLayoutManager>();
  auto second = std::make_shared<TLayoutManager>();
  std::weak_ptr<TLayoutManager> watch = first;
  TScopedRegistration<ILayoutManager, ILayoutClient> registration(&client, first);
  first.reset();
  EXPECT_FALSE(watch.expired());

  registration.Register(second);
  EXPECT_TRUE(watch.expired()); // left, and let go
  second->ControlMoved(nullptr);
  EXPECT_EQ(client.Calls, 1);

  registration.Reset();
  EXPECT_FALSE(registration.IsRegistered());
  second->ControlMoved(nullptr);
  EXPECT_EQ(client.Calls, 1);
}

TEST(ScopedRegistration, ObservesTheProgressTracker) {
  WorkObserver observer;
  {
    TScopedRegistration<IWork, IWorkObserver> registration(&observer, Work());
    TWorkGuard work(WorkCall, 0);
  }
  TWorkGuard work(WorkCall, 0);
  EXPECT_EQ(observer.Calls, 1);
}
