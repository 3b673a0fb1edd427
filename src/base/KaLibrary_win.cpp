#include "KaLibrary.h"

#include "KaExceptions.h"

#include <windows.h>

static thread_local DWORD LastLoadError = 0;

TLibHandle LoadDynLibrary(const std::string& fileName) {
  HMODULE h = LoadLibraryA(fileName.c_str());
  if (!h)
    LastLoadError = GetLastError();
  return reinterpret_cast<TLibHandle>(h);
}

void* GetDynProc(TLibHandle lib, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}

void FreeDynLibrary(TLibHandle lib) {
  if (lib)
    FreeLibrary(static_cast<HMODULE>(lib));
}

std::string DynLibraryError() { return SysErrorMessage(LastLoadError); }
