#include "base/KaLib.h"

// No virtual call from here: the subclass is gone by now and unbinds in its
// own destructor; the library goes with FHandle.
TLib::~TLib() = default;

bool TLib::Load() {
  FLastError.clear();
  if (!IsLoaded() && !FFileName.empty()) {
    FHandle.Reset(DynLoadLibrary(FFileName));
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
  FHandle.Reset();
  BindEntryPoints();
}

void* TLib::EntryPoint(const char* name) const {
  return FHandle ? DynGetProcAddress(FHandle.Get(), name) : nullptr;
}
