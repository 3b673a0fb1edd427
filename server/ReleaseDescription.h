#pragma once

#include "base/KaExceptions.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

KA_DECLARE_EXCEPTION(EPublish, Exception);

// What the vendor writes next to an application folder, in the INI-like
// configuration text:
//
//   [installer]
//   displayName=Example Application
//   appName=Example
//   appDir=C:\Program Files\Example\   the installation directory offered
//   payloadName=Example.exe
//   [masks]            one raw line per file mask, searched in every directory
//                      (so no path); "|*" when the section is absent
//   |*
//   [excludes]         one raw line per directory name that is never published
//   |.git
//   [modes]            pattern=mode, the first matching line wins; the pattern is
//   settings.ini=createOnly   matched against the file name, or against the path
//   logs\*=keep               relative to the folder when it holds a "\"
//   [delete]           one raw line per path that clients delete
//   |old\legacy.dll
//   [shortcuts]        shortcut lines exactly as in the manifest
//   |Example,Example.exe,Example.exe,Starts Example,,
//
// Modes: replace, createOnly, delete, keep, or their numbers 0, 1, 2, 4.
struct TReleaseDescription {
  std::string DisplayName; // UTF-8
  std::string AppName;
  std::string AppDir;
  std::string PayloadName;
  std::vector<std::string> Masks;
  std::vector<std::string> Excludes;
  std::vector<std::pair<std::string, int32_t>> Modes;
  std::vector<std::string> Deletes; // relative paths with "\"
  std::string ShortcutsText;        // CR LF lines

  // The mode of a file at `relativePath` ("bin\tool.exe").
  int32_t ModeFor(const std::string& relativePath) const;
};

// Raises EPublish naming what is missing or wrong.
TReleaseDescription ParseReleaseDescription(const std::string& text);

// A relative path of plain ASCII names joined by "\" ("/" is taken as "\");
// raises EPublish for anything a client would refuse or misname.
std::vector<std::string> SplitRelativePath(const std::string& path);
