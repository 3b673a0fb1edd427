#pragma once

#include <cstddef>
#include <string>

// The server's host is a deployment setting: the executable carries one
// fixed, marked slot for it, which the vendor's tool rewrites in a copy of
// the program without a rebuild. The slot is 256 bytes of initialised data:
// the 24-byte marker "websetup:server-host:v1" with its NUL, then 232 bytes
// of host text, NUL-terminated and NUL-padded.
inline constexpr size_t HostSlotSize = 256;
inline constexpr size_t HostSlotMarkerSize = 24;
inline constexpr size_t HostSlotTextSize = HostSlotSize - HostSlotMarkerSize;
inline constexpr const char* DefaultServerHost = "127.0.0.1:8080";

// The host held by the running program's slot: name, optionally ":" and a port.
std::string ServerHost();
