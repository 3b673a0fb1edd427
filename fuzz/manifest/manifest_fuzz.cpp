// The manifest text followed by NeedsUpdate on a scratch directory, then by
// an Update of an installation directory through a scripted connection: any
// bytes load (or raise a conversion error from the file list), the check only
// reads its directory, the update writes only inside the installation
// directory whatever the list names, and the written form settles.

#include "base/KaExceptions.h"
#include "fuzz/FuzzCheck.h"
#include "model/VoUpdateConfig.h"
#include "model/VoVerifiedFiles.h"
#include "net/KaConnectionIntf.h"

#include "fuzz/FuzzScratch.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <zlib.h>

namespace {

// Answers every "admin:getFile" with an empty file, which fits any listed size.
class TEmptyFiles : public IConnection {
public:
  bool GetActive() const override { return true; }
  void SetActive(bool) override {}
  std::string GetHost() const override { return "fuzz"; }
  void SetHost(const std::string&) override {}
  std::string GetPath() const override { return "/"; }
  void SetPath(const std::string&) override {}
  IMessagePtr NewMessage(const std::string& command) override {
    IMessagePtr m = CreateMessage();
    m->SetCommand(command);
    return m;
  }
  void Call(const IMessagePtr& message, const std::string&) override {
    static const std::string empty = [] {
      uLongf size = compressBound(0);
      std::string out(size, '\0');
      compress(reinterpret_cast<Bytef*>(out.data()), &size, nullptr, 0);
      out.resize(size);
      return out;
    }();
    IMessagePtr answer = CreateMessage();
    answer->WriteString(empty);
    TMemoryStream& r = message->GetReadStream();
    r.Clear();
    r.CopyFrom(answer->GetWriteStream(), 0);
    r.SetPosition(0);
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string scratch = FuzzScratchDir();
  // The update's sandbox: the installation directory app\ and, beside it, a
  // file that must never change.
  static const std::string sandbox = FuzzScratchDir() + "sandbox\\";
  static const std::string app = sandbox + "inner\\app\\";
  static const std::string outside = [] {
    ForceDirectories(app);
    TFileStream(sandbox + "victim.txt", fmCreate).WriteString("precious");
    return FuzzScratchListing(sandbox, app);
  }();
  static const IConnectionPtr connection = std::make_shared<TEmptyFiles>();
  static const std::string before = FuzzScratchListing(scratch, sandbox);

  const std::string text(reinterpret_cast<const char*>(data), size);
  IVoUpdateConfigPtr manifest = CreateUpdateConfig();
  try {
    manifest->SetText(text);
  } catch (const EConvertError&) {
  }
  manifest->NeedsUpdate(scratch);
  // The check writes nothing but its record of verified files.
  RemoveFile(scratch + TVoVerifiedFiles::RecordName);
  FUZZ_CHECK(FuzzScratchListing(scratch, sandbox) == before);

  manifest->Update(app, connection, "admin:getFile");
  FUZZ_CHECK(FuzzScratchListing(sandbox, app) == outside);
  manifest->Remove(app, true);
  FuzzEraseTree(app);
  ForceDirectories(app);

  // The written form read back and written again is a fixed point, after one
  // round: a name (or a shortcut's arguments) that ends a line loses its
  // trailing characters up to the blank when it is read, since every line of
  // the text is trimmed and the escaping leaves those characters as they are.
  // Such names are no plain names and never reach the disk.
  IVoUpdateConfigPtr again = CreateUpdateConfig();
  again->SetText(manifest->GetText());
  const std::string settled = again->GetText();
  IVoUpdateConfigPtr third = CreateUpdateConfig();
  third->SetText(settled);
  FUZZ_CHECK(third->GetText() == settled);
  return 0;
}
