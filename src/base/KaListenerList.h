#pragma once

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

// The registration-ordered list of non-owned listeners behind a service's
// AddListener/RemoveListener. The lock guards the list only: listeners are
// told without it, as the user-interface thread is the only caller.
template <class Listener> class TListenerList {
public:
  int32_t Add(Listener* listener) {
    std::lock_guard guard(FLock);
    FItems.push_back(listener);
    return static_cast<int32_t>(FItems.size() - 1);
  }

  // The index the listener had, -1 if it was not in the list.
  int32_t Remove(Listener* listener) {
    std::lock_guard guard(FLock);
    auto it = std::find(FItems.begin(), FItems.end(), listener);
    if (it == FItems.end())
      return -1;
    int32_t index = static_cast<int32_t>(it - FItems.begin());
    FItems.erase(it);
    return index;
  }

  bool Contains(Listener* listener) {
    std::lock_guard guard(FLock);
    return std::find(FItems.begin(), FItems.end(), listener) != FItems.end();
  }

  // Calls `call` with every listener in registration order. A listener may
  // process window messages while it is told, and so another one may go away
  // meanwhile: each is looked up again before it is called. An exception
  // ends the round and passes on.
  template <class F> void ForEach(F call) {
    std::vector<Listener*> snapshot;
    {
      std::lock_guard guard(FLock);
      snapshot = FItems;
    }
    for (Listener* listener : snapshot) {
      if (Contains(listener))
        call(*listener);
    }
  }

private:
  std::mutex FLock;
  std::vector<Listener*> FItems;
};
