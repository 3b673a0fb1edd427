#include "base/KaProcess.h"


#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

// Natively the command line goes to the shell, which splits it the way the
// shell does; the child is never waited for, so it is double-forked away.
bool RunProgram(const std::string& commandLine) {
  std::string script = "(" + commandLine + ") </dev/null >/dev/null 2>&1 &";
  const char* argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Pause(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string arg;
  while (std::getline(in, arg, '\0'))
    args.push_back(arg);
  if (!args.empty())
    args.erase(args.begin());
  return args;
}
