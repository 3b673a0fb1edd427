#include "base/KaFiles.h"

#include "base/KaCRC.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"

uint32_t FileCRC(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
  uint32_t crc = 0xFFFFFFFFu;
  char buffer[4096];
  for (;;) {
    int64_t n = file.Read(buffer, sizeof buffer);
    if (n <= 0)
      break;
    crc = UpdateCRC(crc, buffer, static_cast<size_t>(n));
  }
  return ~crc;
}

void CopyFileData(const std::string& source, const std::string& destination) {
  TFileStream in(source, fmOpenRead | fmShareDenyNone);
  TFileStream out(destination, fmCreate);
  char buffer[8192];
  for (;;) {
    int64_t n = in.Read(buffer, sizeof buffer);
    if (n <= 0)
      break;
    out.WriteBuffer(buffer, n);
  }
}

bool ForceDirectories(const std::string& dir) {
  std::string d = dir;
  while (EndsWithChar('\\', d) || EndsWithChar('/', d))
    d.pop_back();
  if (d.empty() || DirectoryExists(d))
    return !d.empty();
  size_t p = d.find_last_of("\\/");
  if (p != std::string::npos && p > 0 && d[p - 1] != ':') {
    if (!ForceDirectories(d.substr(0, p)))
      return false;
  }
  return CreateDir(d) || DirectoryExists(d);
}
