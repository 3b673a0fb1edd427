#include "ui/PngResource_win.h"

#include <windows.h>

TPngImage LoadPngResource(const char* name) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceA(module, name, "PNG");
  if (!found)
    found = FindResourceA(module, name, MAKEINTRESOURCEA(10)); // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data)
    throw EResNotFound(std::string("Resource ") + name + " not found");
  return TPngImage::Decode(data, SizeofResource(module, found));
}
