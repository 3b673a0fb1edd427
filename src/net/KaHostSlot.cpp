#include "net/KaHostSlot.h"

#include <algorithm>
#include <cctype>

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

namespace {

// Put together at run time: as a literal the marker would sit in the
// read-only data of whatever program stamps, and a program that both stamps
// and carries a slot would hold it twice.
std::string Marker() { return "websetup:server-host:v" + std::to_string(1) + std::string(1, '\0'); }

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

bool IsPort(const std::string& text) {
  if (text.empty() || text.size() > 5 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  int port = std::stoi(text);
  return port >= 1 && port <= 65535;
}

// The stricter check of the vendor's tool: plain names only.
bool IsStrictNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-';
}

std::string CheckName(const std::string& name) {
  if (name.empty())
    return "the host name is empty";
  for (char c : name)
    if (!IsStrictNameChar(c))
      return std::string("the host name holds the character '") + c + "'";
  if (name.front() == '.' || name.front() == '-' || name.back() == '.' || name.back() == '-' ||
      name.find("..") != std::string::npos)
    return "the host name has an empty or malformed part";
  return {};
}

std::string CheckPort(const std::string& port) {
  if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
    return "the port is no number";
  return IsPort(port) ? std::string() : "the port is outside 1-65535";
}

} // namespace

std::string LocateMarkedSlot(const std::string& image, const std::string& marker, size_t slotSize,
                             const std::string& what, size_t& at) {
  const size_t found = image.find(marker);
  if (found == std::string::npos)
    return "The file carries no " + what;
  if (image.find(marker, found + 1) != std::string::npos)
    return "The file carries more than one " + what;
  if (image.size() - found < slotSize)
    return "The " + what + " is cut off at the end of the file";
  at = found;
  return {};
}

size_t FindHostSlot(const std::string& image) {
  size_t at = 0;
  std::string why = LocateMarkedSlot(image, Marker(), HostSlotSize, "server host slot", at);
  if (!why.empty())
    throw EHostSlot(why);
  return at;
}

std::string ReadHostSlot(const std::string& image) {
  size_t text = FindHostSlot(image) + HostSlotMarkerSize;
  size_t end = image.find('\0', text);
  return image.substr(text, std::min(end, text + HostSlotTextSize) - text);
}

bool IsValidServerHost(const std::string& host) {
  if (host.empty() || host.size() > HostSlotTextSize - 1)
    return false;
  std::string name = host;
  std::string port;
  if (host.front() == '[') {
    size_t close = host.find(']');
    if (close == std::string::npos || close == 1)
      return false;
    std::string address = host.substr(1, close - 1);
    if (!std::all_of(address.begin(), address.end(), [](char c) {
          return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
        }))
      return false;
    std::string rest = host.substr(close + 1);
    if (rest.empty())
      return true;
    return rest.front() == ':' && IsPort(rest.substr(1));
  }
  size_t colon = host.find(':');
  if (colon != std::string::npos) {
    name = host.substr(0, colon);
    port = host.substr(colon + 1);
    if (!IsPort(port))
      return false;
  }
  return !name.empty() && std::all_of(name.begin(), name.end(), IsNameChar);
}

void StampHostSlot(std::string& image, const std::string& host) {
  if (!IsValidServerHost(host))
    throw EHostSlot("Invalid server host: \"" + host + "\"");
  size_t text = FindHostSlot(image) + HostSlotMarkerSize;
  std::string padded = host;
  padded.resize(HostSlotTextSize, '\0');
  image.replace(text, HostSlotTextSize, padded);
}

std::string CheckServerHost(const std::string& host) {
  if (host.empty())
    return "the host is empty";
  if (host.size() > HostSlotTextSize - 1)
    return "the host is longer than " + std::to_string(HostSlotTextSize - 1) + " characters";
  size_t colon = host.find(':');
  std::string why = CheckName(host.substr(0, colon));
  if (why.empty() && colon != std::string::npos)
    why = CheckPort(host.substr(colon + 1));
  return why;
}
