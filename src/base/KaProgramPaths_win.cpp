#include "base/KaProgramPaths.h"

#include <windows.h>

std::string ProgramFileName() {
  char buffer[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return std::string(buffer, n < sizeof buffer ? n : 0);
}
