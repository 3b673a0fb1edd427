#include "base/KaProgramPaths.h"

#include "base/KaStrings.h"

namespace {

struct TPaths {
  std::string Dir, FileName, BaseName;
  TPaths() {
    std::string full = ProgramFileName();
    Dir = ExtractDir(full);
    FileName = CopyAfterLast("\\", full);
    if (FileName.empty())
      FileName = full;
    BaseName = LastPos(".", FileName) ? CopyBeforeLast(".", FileName) : FileName;
  }
};

const TPaths& Paths() {
  static const TPaths paths;
  return paths;
}

} // namespace

const std::string& ExeDir() { return Paths().Dir; }
const std::string& ExeFileName() { return Paths().FileName; }
const std::string& ExeBaseName() { return Paths().BaseName; }
