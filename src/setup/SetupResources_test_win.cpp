#include "base/KaProgramPaths.h"
#include "ui/VoArtwork.h"

#include <gtest/gtest.h>

#include <string>

#include <windows.h>

// setup.exe carries the application manifest: version 6 of the common
// controls and the systems from Windows 7 to Windows 11.
TEST(SetupResources, TheManifestAsksForCommonControlsSixAndNamesTheSystems) {
  std::string path = ExeDir() + "setup.exe";
  HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr) << path;
  HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(found, nullptr);
  const char* data = static_cast<const char*>(LockResource(LoadResource(image, found)));
  std::string manifest(data, SizeofResource(image, found));
  FreeLibrary(image);

  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
  for (const char* os : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
                         "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
                         "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
                         "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) // 10 and 11
    EXPECT_NE(manifest.find(os), std::string::npos) << os;
}

// setup.exe carries every picture of the wizard, its buttons and its frame.
TEST(SetupResources, TheArtworkIsEmbedded) {
  std::string path = ExeDir() + "setup.exe";
  HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr) << path;
  for (const TVoArtwork& art : VoArtwork)
    EXPECT_NE(FindResourceA(image, art.Name, MAKEINTRESOURCEA(10)), nullptr) << art.Name;
  FreeLibrary(image);
}

// setup.exe may use up to 4 GB of address space on 64-bit Windows.
TEST(SetupResources, TheProgramIsLargeAddressAware) {
  std::string path = ExeDir() + "setup.exe";
  HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr) << path;
  // A data file's handle points one byte past its mapping's start.
  auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR{3});
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  EXPECT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
  EXPECT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
  EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE);
  FreeLibrary(image);
}
