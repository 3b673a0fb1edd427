#pragma once

#include "net/KaHostSlot.h"
#include "net/KaKeySlot.h"

#include <string>

// The vendor's side of the host slot: stamping a copy of setup.exe on disk.

// Reads `input`, writes the stamped copy to `output` with the input's
// permissions: the host, and the vendor's public key (its text form) when
// `keyText` is not empty; an empty `keyText` leaves the key slot as it is.
// `output` is replaced only once the copy is complete; nothing is written
// when the host (CheckServerHost), the key or the executable is refused
// (EHostSlot, EKeySlot).
void StampFile(const std::string& input, const std::string& output, const std::string& host,
               const std::string& keyText = "");
