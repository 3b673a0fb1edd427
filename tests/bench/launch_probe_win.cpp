// The two ends of the launcher benchmark under Wine.
//
//   launch_probe              as the application the launcher starts: writes
//                             the wall-clock time it began, in seconds since
//                             1970, to the file named by WS_LAUNCH_PROBE_OUT
//   launch_probe list <dir>   a bare recursive listing of dir, the way any
//                             program walks a tree: prints the entry count
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

long ListTree(const std::string& dir) {
  long count = 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return 0;
  do {
    if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0)
      continue;
    ++count;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      count += ListTree(dir + found.cFileName + "\\");
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

} // namespace

int main(int argc, char** argv) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  if (argc == 3 && std::strcmp(argv[1], "list") == 0) {
    std::string dir = argv[2];
    if (!dir.empty() && dir.back() != '\\')
      dir += '\\';
    std::printf("%ld\n", ListTree(dir));
    return 0;
  }
  const char* out = std::getenv("WS_LAUNCH_PROBE_OUT");
  if (!out)
    return 2;
  // 100 ns steps since 1601.
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const double seconds = static_cast<double>(ticks - 116444736000000000ull) / 1e7;
  FILE* file = std::fopen(out, "w");
  if (!file)
    return 1;
  std::fprintf(file, "%.6f\n", seconds);
  std::fclose(file);
  return 0;
}
