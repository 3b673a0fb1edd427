#pragma once

#include "base/KaHandle_posix.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// A child process for benchmarks and soaks: its stdout on a pipe to us, its
// stderr into a file when one is named; ended with SIGTERM (and waited for)
// when the object goes.
class TChildProcess {
public:
  explicit TChildProcess(const std::vector<std::string>& argv, const std::string& stderrFile = "");
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  pid_t Pid() const { return FPid; }
  // The next line of its stdout, without the line end; empty at its end.
  std::string ReadLine();
  // A size line of /proc/<pid>/status in KiB ("VmRSS", "VmHWM"); -1 when gone.
  long StatusKiB(const std::string& field) const;

private:
  pid_t FPid = -1;
  TScopedFd FOut;
};

// `websetup serve` on a store, on a free port of 127.0.0.1; `arguments` are
// added to the command line, `log` receives its access log.
class TServerProcess {
public:
  TServerProcess(const std::string& tool, const std::string& store,
                 const std::vector<std::string>& arguments = {}, const std::string& log = "");
  uint16_t Port() const { return FPort; }
  pid_t Pid() const { return FChild.Pid(); }
  long ResidentKiB() const { return FChild.StatusKiB("VmRSS"); }
  long PeakKiB() const { return FChild.StatusKiB("VmHWM"); }

private:
  TChildProcess FChild;
  uint16_t FPort = 0;
};
