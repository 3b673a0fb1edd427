#pragma once

#include "net/KaHostSlot.h"

#include <string>

// The vendor's side of the host slot: stamping a copy of setup.exe on disk.

// Reads `input`, writes the stamped copy to `output` with the input's
// permissions. `output` is replaced only once the copy is complete; nothing is
// written when the host (CheckServerHost) or the executable is refused
// (EHostSlot).
void StampFile(const std::string& input, const std::string& output, const std::string& host);
