#include "base/KaDynLibs.h"

#include <dlfcn.h>

namespace {
// dlerror() forgets its text once read; the last one is kept for the caller.
thread_local std::string LastError;

void Remember() {
  const char* e = dlerror();
  LastError = e ? e : "";
}
} // namespace

TDynLibHandle DynLoadLibrary(const std::string& fileName) {
  void* h = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h)
    Remember();
  return h;
}

void* DynGetProcAddress(TDynLibHandle library, const char* name) {
  void* p = library ? dlsym(library, name) : nullptr;
  if (!p)
    Remember();
  return p;
}

void TDynLibTraits::Close(TDynLibHandle library) noexcept { dlclose(library); }

std::string DynLastErrorText() { return LastError; }

bool RestrictLibrarySearch() { return false; }
