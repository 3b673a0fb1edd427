#include "base/KaProcess.h"

#include "base/KaHandle_win.h"

#include <windows.h>

bool RunProgram(const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string buffer = commandLine;
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return false;
  // Nobody waits for the program: both handles go at once.
  TScopedKernelHandle thread(pi.hThread), process(pi.hProcess);
  return true;
}

void Pause(unsigned milliseconds) { ::Sleep(milliseconds); }

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args = SplitCommandLine(GetCommandLineA());
  if (!args.empty())
    args.erase(args.begin());
  return args;
}
