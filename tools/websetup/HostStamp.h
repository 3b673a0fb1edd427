#pragma once

#include "setup/HostSlotStamp.h"

#include <string>

// The vendor's side of the host slot (HostSlot.h): which hosts we hand out,
// and stamping a copy of setup.exe on disk.

// Empty when `host` is a name of letters, digits, "." and "-" (an IPv4
// address is one), optionally ":" and a port 1-65535, that fits the slot;
// otherwise why not. Stricter than what the slot can hold: these are the
// hosts every back end of the client resolves alike.
std::string CheckHost(const std::string& host);

// Reads `input`, writes the stamped copy to `output` with the input's
// permissions. `output` is replaced only once the copy is complete; nothing is
// written when the host or the executable is refused (EHostSlot).
void StampFile(const std::string& input, const std::string& output, const std::string& host);
