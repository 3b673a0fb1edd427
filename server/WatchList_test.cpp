#include "server/WatchList.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using TClock = TWatchList::TClock;

struct TItem : TWatchList::TWatched {
  TItem(std::string name, std::vector<std::string>& seen) : Name(std::move(name)), Seen(seen) {}
  void Look(TClock::time_point) override {
    Seen.push_back(Name);
    if (OnLook)
      OnLook();
  }
  std::string Name;
  std::vector<std::string>& Seen;
  std::function<void()> OnLook;
};

TEST(WatchList, EveryItemOnTheListIsLookedAtUntilItLeaves) {
  std::vector<std::string> seen;
  TWatchList list;
  TItem a("a", seen), b("b", seen), c("c", seen);
  for (TItem* item : {&a, &b, &c})
    list.Add(*item);
  EXPECT_EQ(list.Size(), 3u);
  list.LookAll(TClock::now());
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"}));

  seen.clear();
  list.Remove(b);
  list.Remove(b);
  list.Add(a); // once only, however often added
  EXPECT_EQ(list.Size(), 2u);
  // An item may leave while it is looked at; the others are still seen.
  a.OnLook = [&] { list.Remove(a); };
  c.OnLook = [&] { list.Remove(c); };
  list.LookAll(TClock::now());
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(list.Size(), 0u);
  seen.clear();
  list.LookAll(TClock::now());
  EXPECT_TRUE(seen.empty());
}

TEST(WatchList, ItemsOutliveTheirList) {
  std::vector<std::string> seen;
  TItem a("a", seen);
  {
    TWatchList list;
    list.Add(a);
    TWatchList other;
    other.Add(a); // moves over
    EXPECT_EQ(list.Size(), 0u);
    EXPECT_EQ(other.Size(), 1u);
  }
  TWatchList again;
  again.Add(a);
  again.LookAll(TClock::now());
  EXPECT_EQ(seen, std::vector<std::string>{"a"});
  again.Remove(a);
}

} // namespace
