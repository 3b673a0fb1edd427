#include "KaLibrary.h"

#include <dlfcn.h>

static thread_local std::string LastLoadError;

TLibHandle LoadDynLibrary(const std::string& fileName) {
  void* h = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* e = dlerror();
    LastLoadError = e ? e : "";
  }
  return h;
}

void* GetDynProc(TLibHandle lib, const char* name) { return lib ? dlsym(lib, name) : nullptr; }

void FreeDynLibrary(TLibHandle lib) {
  if (lib)
    dlclose(lib);
}

std::string DynLibraryError() { return LastLoadError; }
