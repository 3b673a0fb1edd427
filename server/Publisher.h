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
  // Signs the release with this private key file (server/SigningKey.h);
  // empty: an unsigned release, refused when the current one is signed.
  std::string SignKeyFile = {};
  // A signed release expires this many days after SignedAt; 0: never.
  int ExpiresDays = 0;
  int64_t SignedAt = 0; // seconds since 1970 UTC; 0: the current time
};

// What a publish changed against the release before it.
struct TPublishReport {
  int Release = 0;
  int Previous = 0; // 0: the first release
  bool Signed = false;
  int64_t Expires = 0; // seconds since 1970 UTC; 0: never
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

struct TResignOptions {
  std::string StoreDir;
  std::string SignKeyFile = {};
  int ExpiresDays = 0;
  int64_t SignedAt = 0;
};

struct TResignReport {
  int Release = 0;    // the new current release
  int ResignedOf = 0; // the release whose content it carries
  int64_t Expires = 0;
};

// Signs the current release's manifest anew, with a new expiry, as a new
// release number: the same files and content identifiers, nothing stored
// again. (A new number, so that a client that has seen it refuses the old
// signature from then on.) Raises EPublish when the store has no release.
TResignReport Resign(const TResignOptions& options);
std::string FormatReport(const TResignReport& report);
