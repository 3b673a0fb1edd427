#include "ui/testing/VoArtworkTesting.h"

#include <windows.h>

std::string LoadArtwork(const char* name) {
  HRSRC info = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10)); // RT_RCDATA
  if (!info)
    return {};
  HGLOBAL loaded = LoadResource(nullptr, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data)
    return {};
  return std::string(static_cast<const char*>(data), SizeofResource(nullptr, info));
}
