#pragma once

#include "net/KaConnectionIntf.h"

#include <string>

// The install behind Next on the InstallPath page, without its window work.
// The form's handler runs, in this order:
//
//   std::string path = <ePath's text, 8-bit>;
//   bool usable = PrepareInstallDir(path);            // steps 1-3
//   <ePath's text> := path;                           // the user sees the "\"
//   if (!usable) { ShowMessageDialog("$(error_title)", "$(installpath_error)"); return; }
//   <go to the Installing page>;                      // step 4
//   {
//     TWorkSession session({&ProgressBar, &ProgressBar1});        // steps 5-6
//     AppToStart = RunInstall(ManifestText, Connection, path);   // steps 7-13, 15
//   }                                                             // step 14
//   <go to the Done page>;                                        // step 16
//
// A failure leaves through the session (setup/WorkSession.h: the level closed,
// ProgressBar1 then ProgressBar detached) to the framework's error display,
// on the Installing page.
//
// The process may end at any point of the procedures (the window closed while
// the progress bars let messages through): a fetched file and the launcher
// copy are written to a temporary beside them and renamed over the file once
// whole, so no file is ever left half written under its own name, and the
// next update removes a temporary left that way. The installation record is
// written before the files are fetched, so the launcher copy's next start
// fetches whatever is missing.

// Steps 1 to 3: the path made to end in "\" and its directory created with
// every missing parent. False when the directory still does not exist; the
// caller then shows "$(installpath_error)" and stays on the page. A path that
// is empty or only blanks is refused as it is, instead of naming the root of
// the current drive.
bool PrepareInstallDir(std::string& path);

// Steps 7 to 13 into installDir (prepared above): the manifest from
// manifestText, as setup/ReleaseTrust.h's LoadManifest takes it (a release
// the trusted vendor did not sign, or an older one than the directory's
// installation took, is refused with EReleaseSeal before anything is
// written); InstallDir() := installDir; the launcher copy, appName +
// ".exe", copied from launcherSource, unless that is the very file (an
// installed copy started with "/force-setup" installing into its own
// directory), and never left half written; the installation record with the
// translator's current language code, without a line end; the manifest's
// Update with "admin:getFile" (progress levels 11 and 1 under the caller's
// level); the shortcuts in list order, names and descriptions translated, on
// the desktop exactly when their group is empty; the uninstall entry, an
// existing one left as it is. Returns AppToStart: installDir + payloadName.
// Raises whatever a step raises (the launcher copy or the record cannot be
// written, a server call fails, the Shell Link object cannot be made); what
// was done stays. When the caller's session stops the update between two
// files (EWorkStopped), the shortcuts and the uninstall entry are still made
// before it is raised on: the launcher copy completes the installation at its
// next start, and the entry can remove it.
std::string RunInstall(const std::string& manifestText, const IConnectionPtr& connection,
                       const std::string& installDir);
std::string RunInstall(const std::string& manifestText, const IConnectionPtr& connection,
                       const std::string& installDir, const std::string& launcherSource);

// The launcher copy's file in installDir: appName + ".exe".
std::string LauncherFileName(const std::string& installDir, const std::string& appName);

// A manifest shortcut's name or description as the shell gets it: markers
// translated, in the system's 8-bit code page.
std::string ShortcutText(const std::string& text);

// The command of the remote operation that fetches one file.
inline constexpr const char* GetFileCommand = "admin:getFile";
