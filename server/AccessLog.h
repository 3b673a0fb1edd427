#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>

// One line per request:
//   2026-12-08T04:41:26.123Z 127.0.0.1:53412 "POST /cgi-bin/RUzodi" 200 admin:getFile 0 4123
//   0.412ms
// time (UTC), peer, request line, HTTP status, command ("-" when none was
// read), answer status of the protocol ("-" when the body was no request),
// bytes of the answer body, time spent, and a quoted note when the server
// has something to say (a damaged blob behind an error answer). Cut-off
// connections log the reason in place of the request line.
struct TAccessRecord {
  // What the line is about; the log shows it by the reason in Request, the
  // server's metrics count it.
  enum class TKind {
    Answered,  // a request and its whole answer
    Cut,       // a request that ended without its whole answer
    NoRequest, // a connection that ended before its first request
    Refused,   // a connection closed at once, beyond a limit
  };
  TKind Kind = TKind::Answered;
  std::chrono::system_clock::time_point Time;
  std::string Peer;
  std::string Request; // method and target, or a reason
  int HttpStatus = 0;  // 0: none was sent
  std::string Command;
  int AnswerStatus = -1;
  int64_t Bytes = 0;
  std::chrono::microseconds Duration{0};
  std::string Note;
};

std::string FormatAccessRecord(const TAccessRecord& record);

class TAccessLog {
public:
  // `out` null: logging is off.
  explicit TAccessLog(std::FILE* out) : FOut(out) {}
  void Write(const TAccessRecord& record);

private:
  std::FILE* FOut;
  std::mutex FMutex;
};

// Lines that a client can cause at any rate without sending a byte (refused
// connections): a flood of connects must not become a flood of log lines.
// Up to `perSecond` lines of each kind (the record's Request) are written in
// a second; the rest of that second are counted and written as one line,
// "<kind> (N more)", with the first of the next second or at Flush.
class TLogThrottle {
public:
  TLogThrottle(TAccessLog& log, int perSecond) : FLog(log), FPerSecond(perSecond) {}
  void Write(const TAccessRecord& record);
  void Flush();

private:
  struct TKind {
    int64_t Second = 0;
    int Written = 0;
    int64_t Held = 0;
  };
  void WriteHeld(const std::string& kind, TKind& counts);

  TAccessLog& FLog;
  const int FPerSecond;
  std::mutex FMutex;
  std::map<std::string, TKind> FKinds;
};
