#include "model/VoVerifiedFiles.h"

#include "base/KaCRC.h"
#include "base/KaStreams.h"
#include "base/KaStrings.h"

#include <charconv>

namespace {

// The record's text: a title line, one line per file ("crc,size,write,
// change,escaped path"), and a last line with the CRC-32 of everything
// before it, so that a record cut short or damaged is refused whole.
constexpr std::string_view Title = "websetup verified files 1\r\n";
constexpr std::string_view Seal = "end ";

uint32_t TextCRC(std::string_view text) {
  return ~UpdateCRC(0xFFFFFFFFu, text.data(), text.size());
}

template <class T> bool Number(std::string_view& rest, T& value) {
  const char* end = rest.data() + rest.size();
  auto [at, error] = std::from_chars(rest.data(), end, value);
  if (error != std::errc() || at == end || *at != ',')
    return false;
  rest.remove_prefix(static_cast<size_t>(at - rest.data()) + 1);
  return true;
}

} // namespace

TVoVerifiedFiles::TVoVerifiedFiles(std::string dir, int64_t marginMs)
    : FDir(std::move(dir)), FMargin(marginMs * (FileClockTicksPerSecond() / 1000)) {}

void TVoVerifiedFiles::Load() {
  FEntries.clear();
  std::string text;
  try {
    TFileStream file(FileName(), fmOpenRead | fmShareDenyWrite);
    text = file.ReadRest();
  } catch (const std::exception&) {
    return; // no record yet, or none to be had: everything is read as without one
  }
  if (!Parse(text))
    FEntries.clear();
}

bool TVoVerifiedFiles::Parse(const std::string& text) {
  std::string_view all(text);
  const size_t sealAt = all.rfind(Seal);
  if (!all.starts_with(Title) || sealAt == std::string_view::npos || !all.ends_with("\r\n"))
    return false;
  uint32_t sealed = 0;
  std::string_view sealText = all.substr(sealAt + Seal.size());
  sealText.remove_suffix(2);
  auto [at, error] = std::from_chars(sealText.data(), sealText.data() + sealText.size(), sealed);
  if (error != std::errc() || at != sealText.data() + sealText.size() ||
      sealed != TextCRC(all.substr(0, sealAt)))
    return false;
  std::string_view lines = all.substr(Title.size(), sealAt - Title.size());
  while (!lines.empty()) {
    const size_t end = lines.find("\r\n");
    if (end == std::string_view::npos)
      return false;
    std::string_view rest = lines.substr(0, end);
    lines.remove_prefix(end + 2);
    TEntry entry;
    if (!Number(rest, entry.CRC) || !Number(rest, entry.Stamp.Size) ||
        !Number(rest, entry.Stamp.WriteTime) || !Number(rest, entry.Stamp.ChangeTime) ||
        rest.empty() || !entry.Stamp.Known())
      return false;
    FEntries[Unescape(rest)] = entry;
  }
  return true;
}

bool TVoVerifiedFiles::Save() {
  for (auto at = FEntries.begin(); at != FEntries.end();) {
    if (at->second.Met) {
      ++at;
    } else {
      at = FEntries.erase(at);
      FChanged = true;
    }
  }
  if (!FChanged)
    return true;
  std::string text(Title);
  text.reserve(FEntries.size() * 64 + 64);
  for (const auto& [path, e] : FEntries)
    text += std::to_string(e.CRC) + "," + std::to_string(e.Stamp.Size) + "," +
            std::to_string(e.Stamp.WriteTime) + "," + std::to_string(e.Stamp.ChangeTime) + "," +
            Escape(path) + "\r\n";
  text += std::string(Seal) + std::to_string(TextCRC(text)) + "\r\n";

  const std::string record = FileName();
  RemoveTemporariesBeside(record);
  std::string temporary;
  try {
    CreateTemporaryBeside(record, temporary)->WriteString(text);
  } catch (const std::exception&) {
    RemoveFile(temporary);
    return false;
  }
  if (!RenameFile(temporary, record)) {
    RemoveFile(temporary);
    return false;
  }
  FChanged = false;
  return true;
}

void TVoVerifiedFiles::Remove(const std::string& dir) {
  const std::string record = dir + RecordName;
  RemoveTemporariesBeside(record);
  RemoveFile(record);
}

bool TVoVerifiedFiles::Meet(const std::string& path, const TFileStamp& stamp, uint32_t& crc) {
  auto at = FEntries.find(path);
  if (at == FEntries.end())
    return false;
  if (!stamp.Known() || at->second.Stamp != stamp) {
    FEntries.erase(at);
    FChanged = true;
    return false;
  }
  at->second.Met = true;
  crc = at->second.CRC;
  ++FHits;
  return true;
}

void TVoVerifiedFiles::Read(const std::string& path, const TFileStamp& stamp, uint32_t crc,
                            int64_t observed) {
  // A change after the observation moves the write time to the file clock's
  // now, at worst a tick behind; the margin lies well beyond any tick.
  if (stamp.Known() && stamp.WriteTime < observed - FMargin &&
      stamp.ChangeTime < observed - FMargin)
    Put(path, stamp, crc);
  else
    Forget(path);
}

void TVoVerifiedFiles::Written(const std::string& path, const TFileStamp& stamp, uint32_t crc) {
  // Only the write time lies back: a later write moves it forward, and
  // setting it back moves the change time, which is already past then.
  if (stamp.Known() && stamp.WriteTime < Now() - FMargin)
    Put(path, stamp, crc);
  else
    Forget(path);
}

void TVoVerifiedFiles::Forget(const std::string& path) {
  if (FEntries.erase(path))
    FChanged = true;
}

void TVoVerifiedFiles::Put(const std::string& path, const TFileStamp& stamp, uint32_t crc) {
  TEntry& e = FEntries[path];
  if (!e.Met || e.Stamp != stamp || e.CRC != crc)
    FChanged = true;
  e = {stamp, crc, true};
}
