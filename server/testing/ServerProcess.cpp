#include "server/testing/ServerProcess.h"

#include "server/ReleaseStore.h"
#include "server/testing/LoopbackClient.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
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
  for (const std::string& a : arguments)
    if (a == "--admin-address") {
      // "admin listening on 127.0.0.1:<port>"
      line = FChild.ReadLine();
      colon = line.rfind(':');
      if (line.rfind("admin listening on ", 0) != 0 || colon == std::string::npos)
        throw std::runtime_error("the server printed no admin port: " + line);
      FAdminPort = static_cast<uint16_t>(std::stoi(line.substr(colon + 1)));
    }
}

void TServerProcess::Kill() { ::kill(FChild.Pid(), SIGKILL); }

uint16_t FreeLoopbackPort() {
  TScopedFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof addr;
  if (!fd || ::bind(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&addr), &length) != 0)
    throw std::runtime_error("no free port");
  return ntohs(addr.sin_port);
}

bool WaitListening(uint16_t port) {
  for (int i = 0; i < 100; ++i) {
    try {
      TLoopbackClient probe(port, std::chrono::seconds(1));
      return true;
    } catch (...) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  return false;
}

namespace {

constexpr const char* Nginx = "/usr/sbin/nginx";

// Run as root, nginx's workers would become nobody, who may not enter our
// folders; as anyone else the line is only a warning.
std::string UserLine() {
  const passwd* user = ::getpwuid(::geteuid());
  const group* group = ::getgrgid(::getegid());
  if (::geteuid() != 0 || !user || !group)
    return "";
  return std::string("user ") + user->pw_name + " " + group->gr_name + ";\n";
}

} // namespace

bool TNginxProcess::Available() { return ::access(Nginx, X_OK) == 0; }

TNginxProcess::TNginxProcess(const std::string& dir,
                             const std::function<std::string(uint16_t port)>& site, int workers)
    : FDir(dir) {
  std::filesystem::create_directories(dir + "/temp");
  // A port taken between our look and nginx's bind: another one.
  for (int attempt = 0; attempt < 5 && !FChild; ++attempt) {
    FPort = FreeLoopbackPort();
    WriteFileAtomically(dir + "/site.conf", site(FPort));
    std::string temp = dir + "/temp/";
    WriteFileAtomically(dir + "/nginx.conf",
                        UserLine() + "daemon off;\nworker_processes " + std::to_string(workers) +
                            ";\npid " + dir + "/nginx.pid;\nerror_log " + dir +
                            "/error.log info;\nevents { worker_connections 4096; }\nhttp {\n"
                            "  access_log " +
                            dir +
                            "/access.log;\n"
                            "  client_body_temp_path " +
                            temp +
                            "body;\n"
                            "  proxy_temp_path " +
                            temp +
                            "proxy;\n"
                            "  fastcgi_temp_path " +
                            temp +
                            "fastcgi;\n"
                            "  uwsgi_temp_path " +
                            temp +
                            "uwsgi;\n"
                            "  scgi_temp_path " +
                            temp +
                            "scgi;\n"
                            "  include " +
                            dir + "/site.conf;\n}\n");
    auto child = std::make_unique<TChildProcess>(std::vector<std::string>{
        Nginx, "-p", dir, "-c", dir + "/nginx.conf", "-e", dir + "/error.log"});
    if (WaitListening(FPort))
      FChild = std::move(child);
  }
  if (!FChild)
    throw std::runtime_error("nginx did not start: " + Errors());
}

std::string TNginxProcess::Errors() const {
  std::ifstream in(FDir + "/error.log");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
