#pragma once

#include <chrono>
#include <cstddef>

// The connections of one server thread, looked at together every so often
// by one timer of that thread. A deadline per connection checked that way
// costs nothing per request, where a timer per operation costs system calls
// and a cancelled handler on every one. Used by its own thread only.
class TWatchList {
public:
  using TClock = std::chrono::steady_clock;

  class TWatched {
  public:
    TWatched() = default;
    TWatched(const TWatched&) = delete;
    TWatched& operator=(const TWatched&) = delete;

    // Called at every look while on the list; it may take its own object
    // off the list, no other.
    virtual void Look(TClock::time_point now) = 0;

  protected:
    ~TWatched() = default;

  private:
    friend class TWatchList;
    TWatchList* FList = nullptr;
    TWatched* FPrevious = nullptr;
    TWatched* FNext = nullptr;
  };

  TWatchList() = default;
  TWatchList(const TWatchList&) = delete;
  TWatchList& operator=(const TWatchList&) = delete;
  // Whatever is still on the list is taken off, so that it can go later.
  ~TWatchList();

  void Add(TWatched& item);
  // Nothing happens when the item is on no list.
  void Remove(TWatched& item);
  void LookAll(TClock::time_point now);
  size_t Size() const { return FSize; }

private:
  TWatched* FFirst = nullptr;
  size_t FSize = 0;
};
