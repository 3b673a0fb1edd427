// The launcher's check when nothing needs fetching, on an installation of
// 10,000 files and 1 GB whose files have times of their own (as fetched files
// do), against a bare recursive listing of the same tree with the platform's
// directory search. "before" is the plain scan, which reads every such file
// for its CRC-32; "after" is the check as the launcher makes it, with the
// record of verified files (made once by an earlier check). Both from a warm
// page cache, best of a few runs.
//
//   ratio launcher-nochange-10k[-wine] <listing time / check time>

#include "base/KaCRC.h"
#include "base/KaDateUtils.h"
#include "base/KaStrings.h"
#include "model/VoFolder_impl.h"
#include "model/VoUpdateConfig.h"
#include "model/VoVerifiedFiles.h"
#include "model/testing/VoBench.h"

#include <algorithm>
#include <thread>

namespace {

constexpr int Dirs = 100;
constexpr int FilesPerDir = 100;
constexpr int64_t TotalBytes = int64_t{1} << 30;

#ifdef _WIN32
const char* const Suffix = "-wine";
#else
const char* const Suffix = "";
#endif

// Every entry below dir, as a program lists a tree: the search of each
// directory, and each directory's own search in turn.
long ListTree(const std::string& dir) {
  long count = 0;
  for (const TSearchRec& r : FindEntries(dir + "*")) {
    ++count;
    if (r.IsDirectory())
      count += ListTree(dir + r.Name + "\\");
  }
  return count;
}

template <class F> double Best(int runs, F&& work) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i)
    best = std::min(best, Timed(work));
  return best;
}

} // namespace

int main() {
  std::printf("launcher check benchmark: %d files, %lld MB, nothing to fetch\n", Dirs * FilesPerDir,
              static_cast<long long>(TotalBytes >> 20));
  const std::string dir = BenchDir("ws_launcher_bench");
  const size_t fileSize = static_cast<size_t>(TotalBytes / (Dirs * FilesPerDir));
  std::string content(fileSize, '\0');
  uint32_t x = 2463534242u;
  for (char& c : content) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    c = static_cast<char>(x);
  }

  // The list as the server publishes it: sizes and CRC-32 values of the
  // files, with the vendor's times, which fetched files do not have.
  std::string list = "[files]\r\n|:*\r\n";
  const double made = Timed([&] {
    for (int d = 0; d < Dirs; ++d) {
      const std::string sub = "d" + IntToStr(d);
      ForceDirectories(dir + sub);
      list += "|+0,0," + sub + "\r\n";
      for (int f = 0; f < FilesPerDir; ++f) {
        const std::string name = "f" + IntToStr(f) + ".bin";
        content[0] = static_cast<char>(f); // files not all alike
        WriteBytes(dir + sub + "\\" + name, content);
        const uint32_t crc = ~UpdateCRC(0xFFFFFFFFu, content.data(), content.size());
        list += "|-" + IntToStr(1 + d * FilesPerDir + f) + "," + IntToStr(fileSize) + "," +
                IntToStr(crc) + ",20200101000000000,0," + name + "\r\n";
      }
      list += "|x\r\n";
    }
    list += "|x\r\n";
  });
  std::printf("  tree written in %.1f s\n", made);

  long entries = 0;
  const double listing = Best(5, [&] { entries = ListTree(dir); });

  auto check = [&](bool plain, int64_t& bytesRead) {
    const int64_t before = TVoFolder::ContentBytesRead();
    IVoUpdateConfigPtr manifest = CreateUpdateConfig();
    manifest->SetText(list);
    bool needed;
    if (plain) {
      // The check as it was: a scan that trusts only the listed times.
      manifest->GetFolder()->SetPath(dir);
      needed = false;
      WalkFolder(manifest->GetFolder()->Scan(), dir,
                 TVoFolderWalk{nullptr, nullptr,
                               [&](const IVoNodePtr&, IVoFolderFile& f, const std::string&) {
                                 needed = needed || f.GetState() != nsSame;
                               }});
    } else {
      needed = manifest->NeedsUpdate(dir);
    }
    bytesRead = TVoFolder::ContentBytesRead() - before;
    if (needed)
      std::printf("  the check found something to fetch: the benchmark is broken\n");
  };

  int64_t plainRead = 0, firstRead = 0, afterRead = 0;
  const double plain = Best(2, [&] { check(true, plainRead); });
  // The record learns only of files older than its margin, as after a real
  // installation: wait that out, then one check reads and records.
  std::this_thread::sleep_for(std::chrono::milliseconds(TVoVerifiedFiles::DefaultMarginMs + 200));
  const double first = Timed([&] { check(false, firstRead); });
  const double after = Best(5, [&] { check(false, afterRead); });

  std::printf("  %-52s %8.3f s  %6ld entries\n", "bare recursive listing (FindEntries)", listing,
              entries);
  std::printf("  %-52s %8.3f s  %8.1f MB read\n", "before: plain scan (CRC-32 of every file)",
              plain, plainRead / 1048576.0);
  std::printf("  %-52s %8.3f s  %8.1f MB read\n", "first check with the record (learns)", first,
              firstRead / 1048576.0);
  std::printf("  %-52s %8.3f s  %8.1f MB read\n", "after: check with the record", after,
              afterRead / 1048576.0);
  std::printf("ratio launcher-nochange-10k%s %.2f\n", Suffix, listing / after);
  std::printf("ratio launcher-nochange-10k-before%s %.2f\n", Suffix, listing / plain);
  EraseTree(dir);
  return afterRead == 0 ? 0 : 1;
}
