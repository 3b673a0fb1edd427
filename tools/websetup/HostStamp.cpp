#include "websetup/HostStamp.h"

#include "setup/HostSlot.h"
#include "server/ReleaseStore.h"

#include <cctype>
#include <sys/stat.h>

namespace {

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-';
}

std::string CheckName(const std::string& name) {
  if (name.empty())
    return "the host name is empty";
  for (char c : name)
    if (!IsNameChar(c))
      return std::string("the host name holds the character '") + c + "'";
  if (name.front() == '.' || name.front() == '-' || name.back() == '.' || name.back() == '-' ||
      name.find("..") != std::string::npos)
    return "the host name has an empty or malformed part";
  return {};
}

std::string CheckPort(const std::string& port) {
  if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
    return "the port is no number";
  long value = std::stol(port);
  if (value < 1 || value > 65535)
    return "the port is outside 1-65535";
  return {};
}

} // namespace

std::string CheckHost(const std::string& host) {
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

void StampFile(const std::string& input, const std::string& output, const std::string& host) {
  std::string why = CheckHost(host);
  if (!why.empty())
    throw EHostSlot("Cannot use \"" + host + "\" as the host: " + why);
  std::string image = ReadWholeFile(input);
  StampHostSlot(image, host);
  struct stat st {};
  int mode = ::stat(input.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : 0755;
  WriteFileAtomically(output, image, mode);
  // open() applies the umask; the copy should run wherever the original ran.
  ::chmod(output.c_str(), static_cast<mode_t>(mode));
}
