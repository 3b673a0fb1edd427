#include "websetup/HostStamp.h"

#include "server/ReleaseStore.h"

#include <sys/stat.h>

void StampFile(const std::string& input, const std::string& output, const std::string& host,
               const std::string& keyText) {
  std::string why = CheckServerHost(host);
  if (!why.empty())
    throw EHostSlot("Cannot use \"" + host + "\" as the host: " + why);
  std::string image = ReadWholeFile(input);
  StampHostSlot(image, host);
  if (!keyText.empty())
    StampKeySlot(image, keyText);
  struct stat st {};
  int mode = ::stat(input.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : 0755;
  WriteFileAtomically(output, image, mode);
  // open() applies the umask; the copy should run wherever the original ran.
  ::chmod(output.c_str(), static_cast<mode_t>(mode));
}
