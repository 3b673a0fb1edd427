#pragma once

// Registers every HTTP back end of this build with HTTPFactory, once:
// "libcurl" and "Indy" everywhere, "WinInet" on Windows. Called at program
// start-up; a later call does nothing.
void RegisterHTTPBackEnds();
