#include "setup/HostSlot.h"

// External linkage and "used" keep the slot in writable initialised data, in
// one piece, even though nothing in the program ever writes it; the text is
// the only place the marker occurs.
extern "C" {
[[gnu::used]] char websetup_server_host_slot[HostSlotSize] = "websetup:server-host:v1\0"
                                                             "127.0.0.1:8080";
}

static_assert(sizeof("websetup:server-host:v1") == HostSlotMarkerSize);

std::string ServerHost() {
  // Read through a volatile pointer: the compiler would otherwise fold in the
  // default it sees here, and a stamped copy would still ask the default host.
  const volatile char* text = websetup_server_host_slot + HostSlotMarkerSize;
  std::string host;
  for (size_t i = 0; i < HostSlotTextSize - 1 && text[i] != '\0'; ++i)
    host += text[i];
  return host;
}
