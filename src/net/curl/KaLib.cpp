#include "net/curl/KaLib.h"

// No virtual call from here: the subclass is gone by now and unbinds in its
// own destructor.
TLib::~TLib() {
  if (FHandle)
    DynFreeLibrary(FHandle);
}

bool TLib::Load() {
  FLastError.clear();
  if (!IsLoaded() && !FFileName.empty()) {
    FHandle = DynLoadLibrary(FFileName);
    if (!FHandle)
      FLastError = "Unable to load \"" + FFileName + "\".\r\n" + DynLastErrorText();
    else
      BindEntryPoints();
  }
  return IsLoaded();
}

void TLib::Unload() {
  if (!IsLoaded())
    return;
  DynFreeLibrary(FHandle);
  FHandle = nullptr;
  BindEntryPoints();
}

void* TLib::EntryPoint(const char* name) const {
  return FHandle ? DynGetProcAddress(FHandle, name) : nullptr;
}
