#pragma once

#include "net/KaConnectionIntf.h"

#include <string>

// The update of the Update page, at the timer's first tick, without its window
// work. The form runs, in this order:
//
//   Timer disabled;
//   {
//     TWorkSession session({&VoProgressBar1, &VoProgressBar2});   // steps 2-3
//     app = RunUpdate(ManifestText, Connection, InstallDir());     // steps 4-5
//     session.Finish();                                            // step 6
//   }
//   StartApplication(app);                                         // step 7
//   ReleaseConnection; Close;                                      // steps 8-9
//
// A failure of RunUpdate leaves through the session (level closed, bars
// detached) to the framework's error display; the application is not started.

// Steps 4 and 5: the manifest from manifestText (setup/ReleaseTrust.h's
// LoadManifest: a release that is not the trusted vendor's raises
// EReleaseSeal, as does a fetched file that is not its signed content), then
// its Update of installDir with "admin:getFile". Returns the application to start,
// installDir + payloadName. Raises what the update raises; files fetched so
// far stay, each whole, and the next launcher start fetches the rest.
std::string RunUpdate(const std::string& manifestText, const IConnectionPtr& connection,
                      const std::string& installDir);

// Starts the application as the launcher, the update and Finish on the Done
// page do: its path as the whole command line, not quoted. A failure to start
// is not reported.
void StartApplication(const std::string& appPath);
