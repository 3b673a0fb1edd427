#include "base/KaHandle.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <type_traits>
#include <vector>

namespace {

// Handles are numbers here; every close is written down, so a handle closed
// twice or never shows.
struct TCountingTraits {
  using Handle = int;
  static int Invalid() noexcept { return 0; }
  static void Close(int handle) noexcept { Closed.push_back(handle); }
  static inline std::vector<int> Closed;
};
using TCounted = TScopedHandle<TCountingTraits>;

// -1 is none and 0 a handle, as with file descriptors.
struct TMinusOneTraits {
  using Handle = int;
  static int Invalid() noexcept { return -1; }
  static bool IsValid(int handle) noexcept { return handle >= 0; }
  static void Close(int handle) noexcept { TCountingTraits::Closed.push_back(handle); }
};

static_assert(!std::is_copy_constructible_v<TCounted>);
static_assert(!std::is_copy_assignable_v<TCounted>);
static_assert(std::is_nothrow_move_constructible_v<TCounted>);
static_assert(std::is_nothrow_move_assignable_v<TCounted>);
static_assert(!std::is_convertible_v<int, TCounted>, "taking ownership is always spelled out");

class ScopedHandle : public testing::Test {
protected:
  ScopedHandle() { TCountingTraits::Closed.clear(); }
  const std::vector<int>& Closed() const { return TCountingTraits::Closed; }
};

TEST_F(ScopedHandle, ClosesWhatItHoldsOnceWhenItGoes) {
  {
    TCounted none;
    EXPECT_FALSE(none.IsValid());
    EXPECT_FALSE(none);
    TCounted held(7);
    EXPECT_TRUE(held.IsValid());
    EXPECT_EQ(held.Get(), 7);
  }
  EXPECT_EQ(Closed(), std::vector<int>{7});
}

TEST_F(ScopedHandle, MovingHandsOverOwnershipSoOnlyTheLastOwnerCloses) {
  {
    TCounted first(1);
    TCounted second(std::move(first));
    EXPECT_FALSE(first.IsValid());
    EXPECT_EQ(second.Get(), 1);
    TCounted third(3);
    third = std::move(second); // the 3 it held goes now
    EXPECT_EQ(Closed(), std::vector<int>{3});
    EXPECT_FALSE(second.IsValid());
    EXPECT_EQ(third.Get(), 1);
    std::vector<TCounted> many;
    many.push_back(std::move(third));
    many.emplace_back(4);
    many.emplace_back(5); // the vector moves its elements as it grows
    EXPECT_EQ(Closed(), std::vector<int>{3});
  }
  std::vector<int> closed = Closed();
  std::sort(closed.begin(), closed.end());
  EXPECT_EQ(closed, (std::vector<int>{1, 3, 4, 5})) << "each handle closed exactly once";
}

TEST_F(ScopedHandle, MovingOntoItselfKeepsTheHandleOpen) {
  {
    TCounted held(9);
    TCounted& alias = held;
    held = std::move(alias);
    EXPECT_TRUE(Closed().empty());
    EXPECT_EQ(held.Get(), 9);
  }
  EXPECT_EQ(Closed(), std::vector<int>{9});
}

TEST_F(ScopedHandle, ResetClosesTheOldHandleUnlessItIsTheSame) {
  TCounted held(1);
  held.Reset(2);
  EXPECT_EQ(Closed(), std::vector<int>{1});
  held.Reset(2);
  EXPECT_EQ(Closed(), std::vector<int>{1}) << "resetting to the handle held must not close it";
  held.Reset();
  EXPECT_FALSE(held.IsValid());
  held.Reset();
  EXPECT_EQ(Closed(), (std::vector<int>{1, 2}));
}

TEST_F(ScopedHandle, TakeAndReleaseGiveUpOwnership) {
  int taken, released;
  {
    TCounted a(1), b(2);
    taken = a.Take();
    released = b.Release();
    EXPECT_FALSE(a.IsValid());
    EXPECT_FALSE(b.IsValid());
    EXPECT_EQ(a.Take(), 0) << "nothing left to take";
  }
  EXPECT_TRUE(Closed().empty());
  EXPECT_EQ(taken, 1);
  EXPECT_EQ(released, 2);
  TCounted again(taken); // the taker can hand it to a new owner
  again.Reset();
  EXPECT_EQ(Closed(), std::vector<int>{1});
}

TEST_F(ScopedHandle, TraitsDecideWhatIsValid) {
  {
    TScopedHandle<TMinusOneTraits> zero(0), none;
    EXPECT_TRUE(zero.IsValid());
    EXPECT_FALSE(none.IsValid());
    EXPECT_EQ(none.Get(), -1);
    none.Reset(-5); // below zero is no handle either: never closed
  }
  EXPECT_EQ(Closed(), std::vector<int>{0});
}

} // namespace
