#pragma once

#include "server/ReleaseDescription.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct TPublishOptions {
  std::string StoreDir;
  std::string AppDir;
  std::string DescriptionFile;
  // Take a file whose size and time stamp equal the current release's as
  // unchanged, without reading it. Faster, but the time stamps have 2-second
  // steps: a change that keeps the size within them goes unnoticed.
  bool TrustTimes = false;
};

// What a publish changed against the release before it.
struct TPublishReport {
  int Release = 0;
  int Previous = 0; // 0: the first release
  std::vector<std::string> Added, Changed, Removed, Deleted;
  int Files = 0;
  int NewContents = 0;
  int64_t DownloadBytes = 0; // stored bytes a client of the previous release fetches
};

// Scans the folder with the folder model, stores each content not yet in the
// store once (zlib), writes the manifest and makes the new release current.
// Progress lines go to `progress`. Raises EPublish and the file errors.
TPublishReport Publish(const TPublishOptions& options, std::ostream& progress);
std::string FormatReport(const TPublishReport& report);
