// The host slot: finding and reading it in any executable image, and the
// checks of a host before it is stamped. A host that passes is stamped into
// an image and read back unchanged.
//
// Input: the first byte chooses: even, the rest is an image; odd, the rest is
// a host.

#include "fuzz/FuzzCheck.h"
#include "net/KaHostSlot.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string ImageWithSlot() {
  std::string slot = "websetup:server-host:v";
  slot += '1';
  slot += '\0';
  slot += DefaultServerHost;
  slot.resize(HostSlotSize, '\0');
  return std::string(100, 'M') + slot + std::string(100, 'Z');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0) {
    try {
      size_t at = FindHostSlot(rest);
      FUZZ_CHECK(at + HostSlotSize <= rest.size());
      std::string host = ReadHostSlot(rest);
      FUZZ_CHECK(host.size() < HostSlotTextSize + 1);
      std::string image = rest;
      StampHostSlot(image, "example.com:8080");
      FUZZ_CHECK(image.size() == rest.size());
      FUZZ_CHECK(ReadHostSlot(image) == "example.com:8080");
    } catch (const EHostSlot&) {
    }
    return 0;
  }
  const bool valid = IsValidServerHost(rest);
  const bool handedOut = CheckServerHost(rest).empty();
  // What the vendor's tool hands out, the slot holds.
  FUZZ_CHECK(!handedOut || valid);
  std::string image = ImageWithSlot();
  try {
    StampHostSlot(image, rest);
    FUZZ_CHECK(valid);
    FUZZ_CHECK(ReadHostSlot(image) == rest);
  } catch (const EHostSlot&) {
    FUZZ_CHECK(!valid);
  }
  return 0;
}
