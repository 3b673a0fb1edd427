#pragma once

#include "base/KaExceptions.h"

#include <cstddef>
#include <string>

// Finding and rewriting the host slot (see HostSlot.h) in the bytes of an
// executable file. Kept apart from the slot itself so the program that
// carries the slot never carries a second copy of its marker.

KA_DECLARE_EXCEPTION(EHostSlot, Exception);

// The offset of the slot's marker. Raises EHostSlot when the marker is absent,
// occurs more than once, or the slot would run past the end of the image.
size_t FindHostSlot(const std::string& image);

// The host text of the image's slot, up to its first NUL.
std::string ReadHostSlot(const std::string& image);

// A host the slot can hold and a URL can carry: a name or address of letters,
// digits, ".", "-", "_" (or an IPv6 address in brackets), optionally ":" and
// a port from 1 to 65535; at most 231 characters.
bool IsValidServerHost(const std::string& host);

// Writes host into the image's slot, NUL-padded. Raises EHostSlot for an
// invalid host or an image without exactly one slot.
void StampHostSlot(std::string& image, const std::string& host);
