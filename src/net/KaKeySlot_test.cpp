#include "net/KaKeySlot.h"

#include "base/KaCrypto.h"
#include "net/KaHostSlot.h"

#include <gtest/gtest.h>

namespace {

const std::string HostMarker("websetup:server-host:v1\0", 24);
const std::string KeyMarker("websetup:signing-key:v1\0", 24);
const std::string Key = PublicKeyText(std::string(32, '\x5a'));

// An image with a host slot and a key slot, as setup.exe carries them.
std::string Image(const std::string& key = "") {
  std::string host = "127.0.0.1:8080", text = key;
  host.resize(HostSlotTextSize, '\0');
  text.resize(KeySlotTextSize, '\0');
  return "MZ\x90" + HostMarker + host + "middle" + KeyMarker + text + "tail\xff";
}

std::string ErrorOf(std::string image, const std::string& key) {
  try {
    StampKeySlot(image, key);
  } catch (const EKeySlot& e) {
    return e.Message();
  }
  return "(stamped)";
}

} // namespace

TEST(KeySlot, UnstampedProgramHoldsNoKey) { EXPECT_EQ(VendorKeyText(), ""); }

TEST(KeySlot, StampWritesTheKeyBesideTheHostAndNothingElse) {
  std::string image = Image();
  StampKeySlot(image, Key);
  EXPECT_EQ(ReadKeySlot(image), Key);
  EXPECT_EQ(ReadHostSlot(image), "127.0.0.1:8080");
  EXPECT_EQ(image, Image(Key));

  // Another key replaces it whole; an empty text unstamps.
  const std::string other = PublicKeyText(std::string(32, '\x01'));
  StampKeySlot(image, other);
  EXPECT_EQ(image, Image(other));
  StampKeySlot(image, "");
  EXPECT_EQ(image, Image());
  EXPECT_EQ(ReadKeySlot(image), "");
}

TEST(KeySlot, RefusesWhatIsNoKeyAndImagesWithoutOneWholeSlot) {
  for (const std::string& bad : {Key + "0", Key.substr(1), std::string("websetup-ed25519:"),
                                 std::string("127.0.0.1:8080"), " " + Key})
    EXPECT_EQ(ErrorOf(Image(), bad), "No public key: \"" + bad + "\"");
  EXPECT_EQ(ErrorOf("MZ no slot", Key), "The file carries no signing key slot");
  EXPECT_EQ(ErrorOf(Image() + Image(), Key), "The file carries more than one signing key slot");
  std::string cut = "MZ" + KeyMarker + std::string(KeySlotTextSize - 1, '\0');
  EXPECT_EQ(ErrorOf(cut, Key), "The signing key slot is cut off at the end of the file");
  // The host slot is found as before.
  EXPECT_THROW(FindHostSlot("MZ" + KeyMarker + std::string(200, '\0')), EHostSlot);
}
