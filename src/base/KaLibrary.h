#pragma once

#include <string>

// Loading a shared library at run time: LoadLibrary / dlopen.
using TLibHandle = void*;

TLibHandle LoadDynLibrary(const std::string& fileName);  // nullptr on failure
void* GetDynProc(TLibHandle lib, const char* name);      // nullptr when absent
void FreeDynLibrary(TLibHandle lib);
// Why the last load failed, in the platform's words.
std::string DynLibraryError();
