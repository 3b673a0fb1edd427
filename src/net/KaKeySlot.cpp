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
  // Volatile, so that the empty text the compiler sees is not folded in.
  const volatile char* text = websetup_vendor_key_slot + KeySlotMarkerSize;
  std::string key;
  for (size_t i = 0; i < KeySlotTextSize - 1 && text[i] != '\0'; ++i)
    key += text[i];
  return key;
}

namespace {

// Put together at run time, as the host slot's marker is.
std::string Marker() { return "websetup:signing-key:v" + std::to_string(1) + std::string(1, '\0'); }

} // namespace

size_t FindKeySlot(const std::string& image) {
  size_t at = 0;
  std::string why = LocateMarkedSlot(image, Marker(), KeySlotSize, "signing key slot", at);
  if (!why.empty())
    throw EKeySlot(why);
  return at;
}

std::string ReadKeySlot(const std::string& image) {
  const size_t text = FindKeySlot(image) + KeySlotMarkerSize;
  const size_t end = image.find('\0', text);
  return image.substr(text, std::min(end, text + KeySlotTextSize) - text);
}

void StampKeySlot(std::string& image, const std::string& keyText) {
  std::string key;
  if (!keyText.empty() && !ParsePublicKeyText(keyText, key))
    throw EKeySlot("No public key: \"" + keyText + "\"");
  const size_t text = FindKeySlot(image) + KeySlotMarkerSize;
  std::string padded = keyText;
  padded.resize(KeySlotTextSize, '\0');
  image.replace(text, KeySlotTextSize, padded);
}
