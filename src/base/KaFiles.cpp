#include "base/KaFiles.h"

#include "base/KaCRC.h"
#include "base/KaExceptions.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"

static uint32_t StreamCRC(TFileStream& file) {
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

uint32_t FileCRC(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
  return StreamCRC(file);
}

uint32_t FileCRC(const std::string& fileName, TFileStamp& stamp) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
  TFileStamp before, after;
  const bool known = file.GetStamp(before);
  const uint32_t crc = StreamCRC(file);
  stamp = known && file.GetStamp(after) && after == before ? before : TFileStamp();
  return crc;
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

std::string TemporaryBeside(const std::string& fileName) {
  for (int i = 0; i < 100; ++i) {
    std::string name = fileName + "." + IntToStr(i) + ".~ws";
    if (!FileExists(name) && !DirectoryExists(name))
      return name;
  }
  return std::string();
}

std::string TemporaryBaseName(std::string_view name) {
  // "<base>.<digits>.~ws", the base not empty.
  if (name.size() < 7 || !name.ends_with(".~ws"))
    return std::string();
  const std::string_view front = name.substr(0, name.size() - 4);
  const size_t dot = front.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == front.size() ||
      front.find_first_not_of("0123456789", dot + 1) != std::string_view::npos)
    return std::string();
  return std::string(front.substr(0, dot));
}

void RemoveTemporariesBeside(const std::string& fileName) {
  const std::string dir = ExtractDir(fileName);
  const std::string base = fileName.substr(dir.size());
  // Letter case aside, the search matches more than "<name>.<digits>.~ws".
  for (const TSearchRec& entry : FindEntries(fileName + ".*.~ws"))
    if (!entry.IsDirectory() && TemporaryBaseName(entry.Name) == base)
      RemoveFile(dir + entry.Name);
}

std::unique_ptr<TFileStream> CreateTemporaryBeside(const std::string& fileName,
                                                   std::string& temporary) {
  for (int i = 0; i < 100; ++i) {
    temporary = fileName + "." + IntToStr(i) + ".~ws";
    std::unique_ptr<TFileStream> stream;
    try {
      stream = TFileStream::CreateNew(temporary);
    } catch (...) {
      temporary.clear();
      throw;
    }
    if (stream)
      return stream;
  }
  temporary.clear(); // every name is another's
  throw EFCreateError("Cannot create file \"" + fileName + "\". No temporary name is free");
}

void ReplaceFileData(const std::string& source, const std::string& destination) {
  RemoveTemporariesBeside(destination);
  const std::string temporary = TemporaryBeside(destination);
  if (temporary.empty())
    throw EFCreateError("Cannot create file \"" + destination + "\". No temporary name is free");
  try {
    CopyFileData(source, temporary);
  } catch (const EFCreateError& e) {
    RemoveFile(temporary);
    // The user knows the file by its own name, not the temporary's.
    std::string message = e.Message();
    if (size_t at = message.find(temporary); at != std::string::npos)
      message.replace(at, temporary.size(), destination);
    throw EFCreateError(message);
  } catch (...) {
    RemoveFile(temporary);
    throw;
  }
  if (!RenameFile(temporary, destination)) {
    const unsigned long code = GetLastOSError();
    RemoveFile(temporary);
    throw EFCreateError("Cannot create file \"" + destination + "\". " + SysErrorMessage(code));
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
