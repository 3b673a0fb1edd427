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

std::string SlotText(const volatile char* text, size_t textSize) {
  std::string value;
  for (size_t i = 0; i < textSize - 1 && text[i] != '\0'; ++i)
    value += text[i];
  return value;
}

std::string ServerHost() {
  return SlotText(websetup_server_host_slot + HostSlotMarkerSize, HostSlotTextSize);
}

namespace {

// The marker is put together at run time: as a literal it would sit in the
// read-only data of whatever program stamps, and a program that both stamps
// and carries a slot would hold it twice.
TMarkedSlot HostSlot() {
  return {"websetup:server-host:v" + std::to_string(1) + std::string(1, '\0'), HostSlotSize,
          "server host slot"};
}

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

std::string LocateMarkedSlot(const std::string& image, const TMarkedSlot& slot, size_t& at) {
  const size_t found = image.find(slot.Marker);
  if (found == std::string::npos)
    return "The file carries no " + slot.What;
  if (image.find(slot.Marker, found + 1) != std::string::npos)
    return "The file carries more than one " + slot.What;
  if (image.size() - found < slot.Size)
    return "The " + slot.What + " is cut off at the end of the file";
  at = found + slot.Marker.size();
  return {};
}

std::string ReadSlotText(const std::string& image, const TMarkedSlot& slot, size_t at) {
  const size_t end = image.find('\0', at);
  return image.substr(at, std::min(end, at + slot.TextSize()) - at);
}

void WriteSlotText(std::string& image, const TMarkedSlot& slot, size_t at,
                   const std::string& text) {
  std::string padded = text;
  padded.resize(slot.TextSize(), '\0');
  image.replace(at, slot.TextSize(), padded);
}

size_t FindHostSlot(const std::string& image) {
  size_t at = 0;
  if (std::string why = LocateMarkedSlot(image, HostSlot(), at); !why.empty())
    throw EHostSlot(why);
  return at - HostSlotMarkerSize;
}

std::string ReadHostSlot(const std::string& image) {
  return ReadSlotText(image, HostSlot(), FindHostSlot(image) + HostSlotMarkerSize);
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
  WriteSlotText(image, HostSlot(), FindHostSlot(image) + HostSlotMarkerSize, host);
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
