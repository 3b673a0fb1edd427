#pragma once

#include "base/KaExceptions.h"

#include <cstddef>
#include <string>

// The vendor's public key is a deployment setting like the server's host: a
// second fixed, marked slot of the executable, which the vendor's tool fills
// in a copy of the program. The slot is 128 bytes of initialised data: the
// 24-byte marker "websetup:signing-key:v1" with its NUL, then 104 bytes of the
// key's text form ("websetup-ed25519:" and 64 hex digits), NUL-terminated and
// NUL-padded. As built it holds no key: the program then checks no signature.
inline constexpr size_t KeySlotSize = 128;
inline constexpr size_t KeySlotMarkerSize = 24;
inline constexpr size_t KeySlotTextSize = KeySlotSize - KeySlotMarkerSize;

// The key text held by the running program's slot; empty when unstamped.
std::string VendorKeyText();

KA_DECLARE_EXCEPTION(EKeySlot, Exception);

// The offset of the slot's marker. Raises EKeySlot when the marker is absent,
// occurs more than once, or the slot would run past the end of the image.
size_t FindKeySlot(const std::string& image);

// The key text of the image's slot, up to its first NUL.
std::string ReadKeySlot(const std::string& image);

// Writes the key's text form into the image's slot, NUL-padded; an empty
// text empties the slot. Raises EKeySlot for a text that is no public key's
// text form, or an image without exactly one slot.
void StampKeySlot(std::string& image, const std::string& keyText);
