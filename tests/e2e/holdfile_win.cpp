// Holds a file open without delete sharing for a while, as an ending
// uninstaller holds its own executable: holdfile <path> <milliseconds> <ready-marker>
#include "base/KaHandle_win.h"

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4)
    return 2;
  TScopedKernelHandle held(
      CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!held)
    return 1;
  TScopedKernelHandle marker(
      CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  marker.Reset(); // it only has to exist
  Sleep(static_cast<DWORD>(std::atoi(argv[2])));
  return 0;
}
