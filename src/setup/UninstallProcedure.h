#pragma once

#include <functional>
#include <string>

// The uninstall behind Next on the Uninstall page, and the start of the
// remover when the window closes, without their window work. The form runs:
//
//   btnUninstallNextClick:
//     {
//       TWorkSession session;                                     // steps 1-2
//       AppToStart = RunUninstall(ManifestText, InstallDir(),
//                                 <cbUninstallAll checked>);      // steps 3-7, 9
//     }                                                           // step 8
//     <go to the Uninstall Done page>;                            // step 10
//
//   FormClose, only when RemoveOnClose:
//     StartRemover(AppToStart);                                   // steps 1-4
//     ReleaseConnection;                                          // step 5
//
// A failure of RunUninstall leaves through the session to the framework's
// error display; the wizard stays on the Uninstall page and Next may be
// pressed again. What was removed stays removed.

// Steps 3 to 7: the manifest from manifestText (setup/ReleaseTrust.h's
// LoadManifest: a release that is not the trusted vendor's raises
// EReleaseSeal before anything is removed); its Remove of installDir (every
// file with removeAll); the installation record and the record of the newest
// release taken deleted; each
// shortcut, in list order, deleted under its translated name, on the desktop
// exactly when its group is empty, and a group's sub-folder removed when that
// left it empty; the uninstall entry deleted. Returns the launcher copy to
// remove after the window closes, installDir + appName + ".exe". Files in use
// are left without a word.
std::string RunUninstall(const std::string& manifestText, const std::string& installDir,
                         bool removeAll);

// Steps 1 to 4 of the window closing: copies the launcher copy into the
// temporary folder under its own name (replacing a file there) and starts
// that copy as the remover: the copy's path in double quotes, " /X ", and the
// launcher's path in double quotes. The remover deletes the launcher once
// this process has let go of it, then the directory if it is empty. Reports
// nothing; false when the copy could not be made or started (or there is no
// temporary folder), in which case the launcher copy stays.
using TRunProgram = std::function<bool(const std::string& commandLine)>;
bool StartRemover(const std::string& launcher);
bool StartRemover(const std::string& launcher, const TRunProgram& run);

// The remover's command line for a copy and the launcher it removes.
std::string RemoverCommand(const std::string& removerCopy, const std::string& launcher);
