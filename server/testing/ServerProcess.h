#pragma once

#include "base/KaHandle_posix.h"

#include <cstdint>
#include <functional>
#include <memory>
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
// added to the command line, `log` receives its access log. With
// "--admin-address" among the arguments, AdminPort is the admin listener's.
class TServerProcess {
public:
  TServerProcess(const std::string& tool, const std::string& store,
                 const std::vector<std::string>& arguments = {}, const std::string& log = "");
  uint16_t Port() const { return FPort; }
  uint16_t AdminPort() const { return FAdminPort; }
  pid_t Pid() const { return FChild.Pid(); }
  // Ends it at once, as a crash would.
  void Kill();
  long ResidentKiB() const { return FChild.StatusKiB("VmRSS"); }
  long PeakKiB() const { return FChild.StatusKiB("VmHWM"); }

private:
  TChildProcess FChild;
  uint16_t FPort = 0;
  uint16_t FAdminPort = 0;
};

// A port of 127.0.0.1 that was free a moment ago, for programs that take
// their port from a configuration.
uint16_t FreeLoopbackPort();
// True once something accepts connections on the port (waits up to 5 s).
bool WaitListening(uint16_t port);

// nginx (Debian's, /usr/sbin/nginx) as an unprivileged child: one worker,
// its prefix, temporary folders, logs and pid file in `dir`, serving the
// http-block text that `site` makes for the port it listens on (127.0.0.1).
class TNginxProcess {
public:
  static bool Available();
  TNginxProcess(const std::string& dir, const std::function<std::string(uint16_t port)>& site,
                int workers = 1);
  uint16_t Port() const { return FPort; }
  // Its error log, for a failure's message.
  std::string Errors() const;

private:
  std::string FDir;
  uint16_t FPort = 0;
  std::unique_ptr<TChildProcess> FChild;
};
