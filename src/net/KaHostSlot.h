#pragma once

#include "base/KaExceptions.h"

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

// Finding and rewriting the slot in the bytes of an executable file.

KA_DECLARE_EXCEPTION(EHostSlot, Exception);

// A marked slot in general, shared with the program's other slots: the
// marker (with its NUL) and the NUL-terminated text after it.
struct TMarkedSlot {
  std::string Marker;
  size_t Size;      // marker and text
  std::string What; // the slot's name in messages
  size_t TextSize() const { return Size - Marker.size(); }
};

// The text of the running program's own slot, whose text starts at `text`.
// (Read through a volatile pointer: the compiler would otherwise fold in the
// value it sees in the source, and a stamped copy would not read its stamp.)
std::string SlotText(const volatile char* text, size_t textSize);

// Where the slot's text starts in the image: `at` is set and the result is
// empty, or the result says why there is not exactly one whole such slot.
std::string LocateMarkedSlot(const std::string& image, const TMarkedSlot& slot, size_t& at);
// The image's slot text up to its first NUL, and the text written NUL-padded;
// `at` as LocateMarkedSlot found it.
std::string ReadSlotText(const std::string& image, const TMarkedSlot& slot, size_t at);
void WriteSlotText(std::string& image, const TMarkedSlot& slot, size_t at, const std::string& text);

// The offset of the slot's marker. Raises EHostSlot when the marker is absent,
// occurs more than once, or the slot would run past the end of the image.
size_t FindHostSlot(const std::string& image);

// The host text of the image's slot, up to its first NUL.
std::string ReadHostSlot(const std::string& image);

// A host the slot can hold and a URL can carry: a name or address of letters,
// digits, ".", "-", "_" (or an IPv6 address in brackets), optionally ":" and
// a port from 1 to 65535; at most 231 characters.
bool IsValidServerHost(const std::string& host);

// Empty when `host` is a name of letters, digits, "." and "-" (an IPv4
// address is one), optionally ":" and a port 1-65535, that fits the slot;
// otherwise why not. Stricter than what the slot can hold: these are the
// hosts the vendor's tool hands out, since every back end of the client
// resolves them alike.
std::string CheckServerHost(const std::string& host);

// Writes host into the image's slot, NUL-padded. Raises EHostSlot for an
// invalid host or an image without exactly one slot.
void StampHostSlot(std::string& image, const std::string& host);
