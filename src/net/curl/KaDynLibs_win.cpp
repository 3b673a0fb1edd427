#include "net/curl/KaDynLibs.h"

#include <windows.h>

TDynLibHandle DynLoadLibrary(const std::string& fileName) {
  return reinterpret_cast<TDynLibHandle>(LoadLibraryA(fileName.c_str()));
}

void* DynGetProcAddress(TDynLibHandle library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

bool DynFreeLibrary(TDynLibHandle library) {
  return FreeLibrary(static_cast<HMODULE>(library)) != 0;
}

std::string DynLastErrorText() {
  return "Code \"" + std::to_string(static_cast<long>(GetLastError())) + "\".";
}
