// Scanning a folder: a tree of 10,000 files, and 10,000 and 100,000 files in
// one directory, the first scan (every file new, so every file is read for its
// CRC-32) and a scan against the list of the first (nothing read). The time per
// file of the one-directory cases shows whether appending and finding by name
// stay linear. Also building and dropping a tree of 100,000 siblings.

#include "base/KaStrings.h"
#include "model/VoFolder.h"
#include "model/VoTree_impl.h"
#include "model/testing/VoBench.h"

namespace {

std::string Content(long i) { return "file " + IntToStr(i) + std::string(64, 'x'); }

void ScanCase(const char* title, const std::string& dir, long files) {
  std::printf("%s\n", title);
  IVoFolderPtr folder = CreateFolder();
  folder->SetPath(dir);
  folder->GetMasks().Add("*");
  Row("first scan (all new, CRC-32 of each)", files, Timed([&] { folder->Update(); }));
  std::string text;
  Row("file list text written", files, Timed([&] { text = folder->GetText(); }));
  Row("file list text read", files, Timed([&] { folder->SetText(text); }));
  Row("scan against the list (all same, none read)", files, Timed([&] { folder->Scan(); }));
  Row("file list built", files, Timed([&] { folder->GetFileList(); }));
}

void TreeOfFiles(long dirs, long perDir) {
  std::string dir = BenchDir("ws_model_bench_tree");
  for (long d = 0; d < dirs; ++d) {
    std::string sub = dir + "d" + IntToStr(d) + "\\";
    ForceDirectories(sub);
    for (long f = 0; f < perDir; ++f)
      WriteBytes(sub + "f" + IntToStr(f) + ".dat", Content(f));
  }
  std::string title = "tree: " + IntToStr(dirs) + " directories of " + IntToStr(perDir) + " files";
  ScanCase(title.c_str(), dir, dirs * perDir);
  EraseTree(dir);
}

void OneDirectory(long files) {
  std::string dir = BenchDir("ws_model_bench_flat");
  for (long f = 0; f < files; ++f)
    WriteBytes(dir + "f" + IntToStr(f) + ".dat", Content(f));
  std::string title = "one directory of " + IntToStr(files) + " files";
  ScanCase(title.c_str(), dir, files);
  EraseTree(dir);
}

void Siblings(long count) {
  std::printf("node tree: %ld siblings\n", count);
  IVoNodePtr root = std::make_shared<TVoNode>();
  Row("appended", count, Timed([&] {
        for (long i = 0; i < count; ++i)
          root->AddChild(std::make_shared<TVoNode>());
      }));
  Row("dropped", count, Timed([&] { root.reset(); }));
}

} // namespace

int main() {
  std::printf("folder scan benchmark\n");
  TreeOfFiles(100, 100);
  OneDirectory(10000);
  OneDirectory(100000);
  Siblings(100000);
  return 0;
}
