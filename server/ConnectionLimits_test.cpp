#include "server/ConnectionLimits.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using TVerdict = TConnectionLimits::TVerdict;

TEST(ConnectionLimits, OneAddressGetsItsShareAndTheOthersTheRest) {
  TConnectionLimits limits(5, 2);
  std::vector<TConnectionLimits::TTicket> held(5);
  EXPECT_EQ(limits.Admit("a", held[0]), TVerdict::Admitted);
  EXPECT_EQ(limits.Admit("a", held[1]), TVerdict::Admitted);
  TConnectionLimits::TTicket refused;
  EXPECT_EQ(limits.Admit("a", refused), TVerdict::AddressFull);
  EXPECT_FALSE(refused);
  EXPECT_EQ(limits.Admit("b", held[2]), TVerdict::Admitted);
  EXPECT_EQ(limits.Admit("c", held[3]), TVerdict::Admitted);
  EXPECT_EQ(limits.Admit("c", held[4]), TVerdict::Admitted);
  EXPECT_EQ(limits.Admit("d", refused), TVerdict::ServerFull);
  EXPECT_EQ(limits.Count(), 5);

  held[0].Reset();
  EXPECT_EQ(limits.Count(), 4);
  TConnectionLimits::TTicket moved = std::move(held[1]);
  held[1].Reset(); // moved from: gives back nothing
  EXPECT_EQ(limits.Count(), 4);
  EXPECT_EQ(limits.Admit("a", held[0]), TVerdict::Admitted) << "a place given back is free";
  EXPECT_EQ(limits.Admit("a", refused), TVerdict::ServerFull);
  held.clear();
  moved.Reset();
  EXPECT_EQ(limits.Count(), 0);
  EXPECT_EQ(limits.Admit("a", refused), TVerdict::Admitted);
}

TEST(ConnectionLimits, AnIPv6HostIsCountedByItsNetwork) {
  EXPECT_EQ(AddressKey("192.0.2.7"), "192.0.2.7");
  EXPECT_EQ(AddressKey("::ffff:192.0.2.7"), "192.0.2.7");
  EXPECT_EQ(AddressKey("2001:db8:1:2:aaaa::1"), "2001:db8:1:2::/64");
  EXPECT_EQ(AddressKey("2001:db8:1:2:bbbb:cccc:dddd:eeee"), "2001:db8:1:2::/64");
  EXPECT_NE(AddressKey("2001:db8:1:3::1"), AddressKey("2001:db8:1:2::1"));
  EXPECT_EQ(AddressKey("?"), "?");
}

} // namespace
