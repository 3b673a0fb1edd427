#pragma once

#include "base/KaHandle.h"

#include <string>

// Plain calls for libraries loaded at run time.
using TDynLibHandle = void*;

// nullptr when the library cannot be loaded.
TDynLibHandle DynLoadLibrary(const std::string& fileName);
// nullptr when the library has no such entry point.
void* DynGetProcAddress(TDynLibHandle library, const char* name);
// Why the last call failed: on Windows "Code "<n>"." with the system's error
// number; elsewhere the loader's own text.
std::string DynLastErrorText();

// A loaded library, released by its one owner.
struct TDynLibTraits {
  using Handle = TDynLibHandle;
  static TDynLibHandle Invalid() noexcept { return nullptr; }
  static void Close(TDynLibHandle library) noexcept;
};
using TScopedDynLib = TScopedHandle<TDynLibTraits>;

// Keeps libraries loaded by bare name to the program's own folder, the
// system's folder and folders added on purpose, so that a library of the same
// name planted in the current folder (a Downloads folder full of other files)
// or on PATH is never loaded. Called first thing at start, before anything is
// loaded. False where the system cannot restrict the search (and natively,
// where the loader never looks in the current folder).
bool RestrictLibrarySearch();
