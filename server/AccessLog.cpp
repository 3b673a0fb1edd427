#include "server/AccessLog.h"

#include <ctime>

namespace {

std::string Iso8601(std::chrono::system_clock::time_point t) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm parts{};
  gmtime_r(&seconds, &parts);
  // Room for the widest integers, which a valid time never needs.
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                static_cast<int>(ms % 1000));
  return text;
}

// Whatever a client sent must not be able to forge further log lines.
std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 32 || c >= 127 || c == '"' || c == '\\') {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

} // namespace

std::string FormatAccessRecord(const TAccessRecord& r) {
  char duration[32];
  std::snprintf(duration, sizeof duration, "%.3fms", r.Duration.count() / 1000.0);
  return Iso8601(r.Time) + " " + r.Peer + " \"" + Printable(r.Request) + "\" " +
         (r.HttpStatus ? std::to_string(r.HttpStatus) : "-") + " " +
         (r.Command.empty() ? "-" : Printable(r.Command)) + " " +
         (r.AnswerStatus < 0 ? "-" : std::to_string(r.AnswerStatus)) + " " +
         std::to_string(r.Bytes) + " " + duration +
         (r.Note.empty() ? "" : " \"" + Printable(r.Note) + "\"");
}

void TAccessLog::Write(const TAccessRecord& record) {
  if (!FOut)
    return;
  std::string line = FormatAccessRecord(record) + "\n";
  std::lock_guard<std::mutex> guard(FMutex);
  std::fwrite(line.data(), 1, line.size(), FOut);
  std::fflush(FOut);
}

void TLogThrottle::Write(const TAccessRecord& record) {
  const int64_t second =
      std::chrono::duration_cast<std::chrono::seconds>(record.Time.time_since_epoch()).count();
  std::lock_guard<std::mutex> guard(FMutex);
  TKind& kind = FKinds[record.Request];
  if (second != kind.Second) {
    WriteHeld(record.Request, kind);
    kind.Second = second;
    kind.Written = 0;
  }
  if (kind.Written < FPerSecond) {
    ++kind.Written;
    FLog.Write(record);
  } else {
    ++kind.Held;
  }
}

void TLogThrottle::Flush() {
  std::lock_guard<std::mutex> guard(FMutex);
  for (auto& [name, kind] : FKinds)
    WriteHeld(name, kind);
}

void TLogThrottle::WriteHeld(const std::string& name, TKind& kind) {
  if (kind.Held == 0)
    return;
  TAccessRecord summary;
  summary.Time = std::chrono::system_clock::time_point(std::chrono::seconds(kind.Second + 1));
  summary.Peer = "*";
  summary.Request = name + " (" + std::to_string(kind.Held) + " more)";
  kind.Held = 0;
  FLog.Write(summary);
}
