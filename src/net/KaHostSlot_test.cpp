#include "net/KaHostSlot.h"

#include <gtest/gtest.h>

namespace {

const std::string Marker("websetup:server-host:v1\0", 24);

// An image with one slot holding host, between other bytes.
std::string Image(const std::string& host, const std::string& before = "MZ\x90prefix",
                  const std::string& after = "suffix\xff") {
  std::string text = host;
  text.resize(HostSlotTextSize, '\0');
  return before + Marker + text + after;
}

std::string ErrorOf(std::string image, const std::string& host) {
  try {
    StampHostSlot(image, host);
  } catch (const EHostSlot& e) {
    return e.Message();
  }
  return "(stamped)";
}

TEST(HostSlot, UnstampedProgramReadsTheDefault) { EXPECT_EQ(ServerHost(), DefaultServerHost); }

TEST(HostSlot, StampReplacesTheWholeTextAndNothingElse) {
  std::string image = Image("a-much-longer-host-name.example.com:65535");
  const std::string original = image;
  StampHostSlot(image, "srv:9090");
  EXPECT_EQ(ReadHostSlot(image), "srv:9090");
  ASSERT_EQ(image.size(), original.size());
  const size_t text = FindHostSlot(image) + HostSlotMarkerSize;
  EXPECT_EQ(image.substr(0, text), original.substr(0, text));
  EXPECT_EQ(image.substr(text + 8, HostSlotTextSize - 8), std::string(HostSlotTextSize - 8, '\0'));
  EXPECT_EQ(image.substr(text + HostSlotTextSize), "suffix\xff");

  // The longest host fills all but the terminating NUL.
  const std::string longest = std::string(HostSlotTextSize - 1 - 5, 'h') + ":8080";
  StampHostSlot(image, longest);
  EXPECT_EQ(ReadHostSlot(image), longest);
  EXPECT_EQ(image[text + HostSlotTextSize - 1], '\0');
}

TEST(HostSlot, RefusesImagesWithoutExactlyOneWholeSlot) {
  EXPECT_EQ(ErrorOf("MZ no slot here", "srv"), "The file carries no server host slot");
  EXPECT_EQ(ErrorOf(Image("a") + Image("b"), "srv"),
            "The file carries more than one server host slot");
  std::string cut = Image("a", "MZ", "");
  cut.pop_back();
  EXPECT_EQ(ErrorOf(cut, "srv"), "The server host slot is cut off at the end of the file");
  // The marker without its NUL is not the marker.
  EXPECT_EQ(ErrorOf("websetup:server-host:v1" + std::string(300, 'x'), "srv"),
            "The file carries no server host slot");
}

TEST(HostSlot, AcceptsOnlyHostsAURLCanCarry) {
  for (const char* good : {"127.0.0.1:8080", "updates.example.com", "my_host-1:1", "h:65535",
                           "[::1]:8080", "[fe80::1]"})
    EXPECT_TRUE(IsValidServerHost(good)) << good;
  for (const char* bad : {"", "h:", "h:0", "h:65536", "h:80a", ":80", "a b", "host/path",
                          "user@host", "h:80:81", "[::1", "[]:80", "[::1]80", "http://h"})
    EXPECT_FALSE(IsValidServerHost(bad)) << bad;
  EXPECT_FALSE(IsValidServerHost(std::string(HostSlotTextSize, 'h')));
  EXPECT_TRUE(IsValidServerHost(std::string(HostSlotTextSize - 1, 'h')));
  EXPECT_EQ(ErrorOf(Image("a"), "a b"), "Invalid server host: \"a b\"");
}

TEST(HostCheck, AcceptsNamesAddressesAndPorts) {
  for (const char* host : {"example.com", "update-1.example.com:8080", "10.0.0.1", "10.0.0.1:1",
                           "localhost:65535", "A1"}) {
    EXPECT_EQ(CheckServerHost(host), "") << host;
    EXPECT_TRUE(IsValidServerHost(host))
        << "the slot holds every host the tool hands out: " << host;
  }
  EXPECT_EQ(CheckServerHost(std::string(HostSlotTextSize - 1, 'a')), "");
}

TEST(HostCheck, RefusesWhatIsNoPlainHost) {
  for (const char* host :
       {"", "exa mple.com", "example.com:0", "example.com:65536", "example.com:", ":80",
        "example.com:80:81", "example.com:8o", "http://example.com", "exa_mple.com", "example..com",
        ".example.com", "-example.com", "example.com/path", "[::1]:80"})
    EXPECT_NE(CheckServerHost(host), "") << host;
  EXPECT_NE(CheckServerHost(std::string(HostSlotTextSize, 'a')), "");
}

} // namespace
