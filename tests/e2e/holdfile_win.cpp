// Holds a file open without delete sharing for a while, as an ending
// uninstaller holds its own executable: holdfile <path> <milliseconds> <ready-marker>
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4)
    return 2;
  HANDLE h = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return 1;
  HANDLE marker = CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(marker);
  Sleep(static_cast<DWORD>(std::atoi(argv[2])));
  CloseHandle(h);
  return 0;
}
