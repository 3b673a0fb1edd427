#include "base/KaDynLibs.h"

#include "base/KaHandle_win.h"

#include <windows.h>

// Older headers know the flags only for newer target systems; their values
// are fixed.
#ifndef LOAD_LIBRARY_SEARCH_APPLICATION_DIR
#define LOAD_LIBRARY_SEARCH_APPLICATION_DIR 0x00000200
#define LOAD_LIBRARY_SEARCH_USER_DIRS 0x00000400
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

TDynLibHandle DynLoadLibrary(const std::string& fileName) {
  return reinterpret_cast<TDynLibHandle>(LoadLibraryA(fileName.c_str()));
}

void* DynGetProcAddress(TDynLibHandle library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void TDynLibTraits::Close(TDynLibHandle library) noexcept {
  TModuleTraits::Close(static_cast<HMODULE>(library));
}

std::string DynLastErrorText() {
  return "Code \"" + std::to_string(static_cast<long>(GetLastError())) + "\".";
}

bool RestrictLibrarySearch() {
  // Both calls are looked up, since the oldest systems the program runs on
  // lack the first (it came with an update of Windows 7) or both.
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel)
    return false;
  using TSetDllDirectoryW = BOOL(WINAPI*)(LPCWSTR);
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  // "" takes the current folder out of the classic search order as well.
  if (auto setDirectory = reinterpret_cast<TSetDllDirectoryW>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryW"))))
    setDirectory(L"");
  auto setDefault = reinterpret_cast<TSetDefaultDllDirectories>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  return setDefault && setDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR |
                                  LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS);
}
