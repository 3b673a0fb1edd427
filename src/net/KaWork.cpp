#include "net/KaWork.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

class TWorkLevel : public IWorkLevel {
public:
  TWorkLevel(std::shared_ptr<TWorkLevel> parent, int32_t workId, int32_t maximum)
      : FParent(std::move(parent)), FWorkID(workId), FMaximum(maximum) {}

  int32_t GetWorkID() const override { return FWorkID; }
  int32_t GetPosition() const override { return FPosition; }
  int32_t GetMaximum() const override { return FMaximum; }

  std::shared_ptr<TWorkLevel> Parent() const { return FParent; }
  void SetPosition(int32_t value) { FPosition = value; }

private:
  std::shared_ptr<TWorkLevel> FParent;
  int32_t FWorkID;
  int32_t FPosition = 0;
  int32_t FMaximum;
};

class TWork : public IWork {
public:
  void AddObserver(IWorkObserver* observer) override {
    std::lock_guard guard(FLock);
    FObservers.push_back(observer);
  }

  void RemoveObserver(IWorkObserver* observer) override {
    std::lock_guard guard(FLock);
    auto it = std::find(FObservers.begin(), FObservers.end(), observer);
    if (it != FObservers.end())
      FObservers.erase(it);
  }

  void BeginWork(int32_t workId, int32_t maximum) override {
    if (!FCurrent)
      Notify([](IWorkObserver& o) { o.WorkStarted(); });
    FCurrent = std::make_shared<TWorkLevel>(std::move(FCurrent), workId, maximum);
    if (maximum != 0)
      NotifyChanged();
  }

  void SetPosition(int32_t value) override {
    if (!FCurrent || FCurrent->GetPosition() == value)
      return;
    FCurrent->SetPosition(value);
    NotifyChanged();
  }

  void EndWork() override {
    if (!FCurrent)
      return;
    if (FCurrent->GetMaximum() != 0 && FCurrent->GetPosition() != FCurrent->GetMaximum()) {
      FCurrent->SetPosition(FCurrent->GetMaximum());
      NotifyChanged();
    }
    FCurrent = FCurrent->Parent();
    if (!FCurrent)
      Notify([](IWorkObserver& o) { o.WorkFinished(); });
  }

private:
  // The level is held while the observers look at it: one that processes
  // window messages may open and close levels meanwhile.
  void NotifyChanged() {
    std::shared_ptr<TWorkLevel> level = FCurrent;
    Notify([&](IWorkObserver& o) { o.WorkChanged(*level); });
  }

  // In registration order. A display may process window messages while it is
  // told, and so another observer may go away meanwhile: each one is looked
  // up again before it is called.
  template <class F> void Notify(F call) {
    std::vector<IWorkObserver*> observers;
    {
      std::lock_guard guard(FLock);
      observers = FObservers;
    }
    for (IWorkObserver* observer : observers) {
      if (IsRegistered(observer))
        call(*observer);
    }
  }

  bool IsRegistered(IWorkObserver* observer) {
    std::lock_guard guard(FLock);
    return std::find(FObservers.begin(), FObservers.end(), observer) != FObservers.end();
  }

  std::mutex FLock;
  std::vector<IWorkObserver*> FObservers;
  std::shared_ptr<TWorkLevel> FCurrent;
};

} // namespace

IWork& Work() {
  static TWork work;
  return work;
}
