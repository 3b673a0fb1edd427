// Runs as a program of its own: the restriction holds for the whole process
// and cannot be undone.
#include "base/KaDynLibs.h"
#include "base/KaFiles.h"
#include "base/KaStrings.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// Copies of one small library: beside this program (ws_appdir_probe.dll), in
// the working folder (ws_cwd_*.dll) and in a folder put on PATH
// (ws_path_*.dll); see CMakeLists.txt.
bool Loads(const std::string& name, int* answer = nullptr) {
  TScopedDynLib library(DynLoadLibrary(name));
  if (!library)
    return false;
  auto probe = reinterpret_cast<int (*)()>(DynGetProcAddress(library.Get(), "WsProbeLibrary"));
  if (answer)
    *answer = probe ? probe() : -1;
  return true;
}

TEST(LibrarySearch, APlantedLibraryIsNeverLoadedOnceRestricted) {
  const std::string pathDir = GetCurrentDir() + "\\library_search_path";
  ASSERT_TRUE(FileExists(GetCurrentDir() + "\\ws_cwd_before.dll"));
  ASSERT_TRUE(FileExists(pathDir + "\\ws_path_before.dll"));
  std::string path(32767, '\0');
  path.resize(GetEnvironmentVariableA("PATH", path.data(), static_cast<DWORD>(path.size())));
  ASSERT_TRUE(SetEnvironmentVariableA("PATH", (pathDir + ";" + path).c_str()));

  // The system's usual search finds all of them.
  EXPECT_TRUE(Loads("ws_cwd_before.dll")) << "planted in the working folder";
  EXPECT_TRUE(Loads("ws_path_before.dll")) << "planted on PATH";

  ASSERT_TRUE(RestrictLibrarySearch());
  EXPECT_FALSE(Loads("ws_cwd_after.dll")) << "the working folder must not be searched";
  EXPECT_FALSE(Loads("ws_path_after.dll")) << "PATH must not be searched";
  int answer = 0;
  EXPECT_TRUE(Loads("ws_appdir_probe.dll", &answer)) << "the program's own folder is searched";
  EXPECT_EQ(answer, 42);
  EXPECT_TRUE(Loads("kernel32.dll"));
  EXPECT_TRUE(Loads("wininet.dll")) << "the system's folder is searched";
  // A full path is loaded wherever it points.
  EXPECT_TRUE(Loads(GetCurrentDir() + "\\ws_cwd_after.dll"));
}

} // namespace
