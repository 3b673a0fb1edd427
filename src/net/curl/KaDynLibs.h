#pragma once

#include <string>

// Plain calls for libraries loaded at run time.
using TDynLibHandle = void*;

// nullptr when the library cannot be loaded.
TDynLibHandle DynLoadLibrary(const std::string& fileName);
// nullptr when the library has no such entry point.
void* DynGetProcAddress(TDynLibHandle library, const char* name);
// Whether the library was released.
bool DynFreeLibrary(TDynLibHandle library);
// Why the last call failed: on Windows "Code "<n>"." with the system's error
// number; elsewhere the loader's own text.
std::string DynLastErrorText();
