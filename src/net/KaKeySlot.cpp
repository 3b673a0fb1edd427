#include "net/KaKeySlot.h"

#include "base/KaCrypto.h"
#include "net/KaHostSlot.h"

// As the host slot: writable initialised data in one piece, the marker's only
// place in the program.
extern "C" {
[[gnu::used]] char websetup_vendor_key_slot[KeySlotSize] = "websetup:signing-key:v1";
}

static_assert(sizeof("websetup:signing-key:v1") == KeySlotMarkerSize);

std::string VendorKeyText() {
  return SlotText(websetup_vendor_key_slot + KeySlotMarkerSize, KeySlotTextSize);
}

namespace {

// Put together at run time, as the host slot's marker is.
TMarkedSlot KeySlot() {
  return {"websetup:signing-key:v" + std::to_string(1) + std::string(1, '\0'), KeySlotSize,
          "signing key slot"};
}

} // namespace

size_t FindKeySlot(const std::string& image) {
  size_t at = 0;
  if (std::string why = LocateMarkedSlot(image, KeySlot(), at); !why.empty())
    throw EKeySlot(why);
  return at - KeySlotMarkerSize;
}

std::string ReadKeySlot(const std::string& image) {
  return ReadSlotText(image, KeySlot(), FindKeySlot(image) + KeySlotMarkerSize);
}

void StampKeySlot(std::string& image, const std::string& keyText) {
  std::string key;
  if (!keyText.empty() && !ParsePublicKeyText(keyText, key))
    throw EKeySlot("No public key: \"" + keyText + "\"");
  WriteSlotText(image, KeySlot(), FindKeySlot(image) + KeySlotMarkerSize, keyText);
}
