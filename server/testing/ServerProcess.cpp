#include "server/testing/ServerProcess.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::vector<std::string> ServeCommand(const std::string& tool, const std::string& store,
                                      const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{tool, "serve", "--store", store, "--port", "0"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

} // namespace

TChildProcess::TChildProcess(const std::vector<std::string>& argv, const std::string& stderrFile) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  FOut.Reset(ends[0]);
  TScopedFd in(ends[1]);
  TScopedFd err;
  if (!stderrFile.empty())
    err.Reset(::open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  FPid = ::fork();
  if (FPid == 0) {
    ::dup2(in.Get(), 1);
    if (err)
      ::dup2(err.Get(), 2);
    std::vector<char*> args;
    for (const std::string& a : argv)
      args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  if (FPid < 0)
    throw std::runtime_error("fork failed");
}

TChildProcess::~TChildProcess() {
  if (FPid > 0) {
    ::kill(FPid, SIGTERM);
    ::waitpid(FPid, nullptr, 0);
  }
}

std::string TChildProcess::ReadLine() {
  std::string line;
  char c;
  while (::read(FOut.Get(), &c, 1) == 1 && c != '\n')
    line += c;
  return line;
}

long TChildProcess::StatusKiB(const std::string& field) const {
  std::ifstream status("/proc/" + std::to_string(FPid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field + ":", 0) == 0)
      return std::stol(line.substr(field.size() + 1));
  return -1;
}

TServerProcess::TServerProcess(const std::string& tool, const std::string& store,
                               const std::vector<std::string>& arguments, const std::string& log)
    : FChild(ServeCommand(tool, store, arguments), log) {
  // "listening on 127.0.0.1:<port>"
  std::string line = FChild.ReadLine();
  size_t colon = line.rfind(':');
  if (line.rfind("listening on ", 0) != 0 || colon == std::string::npos)
    throw std::runtime_error("the server printed no port: " + line);
  FPort = static_cast<uint16_t>(std::stoi(line.substr(colon + 1)));
}
