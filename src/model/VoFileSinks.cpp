#include "model/VoFileSinks.h"

#include "base/KaCRC.h"
#include "base/KaFiles.h"
#include "model/VoReleaseSeal.h"
#include "model/VoVerifiedFiles.h"

namespace {

constexpr size_t InflatePiece = 256 * 1024;

} // namespace

TInflateSink::TInflateSink(TByteSink& next, uint64_t limit)
    : FNext(next), FLimit(limit), FBuffer(new unsigned char[InflatePiece]) {
  if (inflateInit(&FStream) != Z_OK)
    throw EInflate("zlib cannot start inflating");
}

TInflateSink::~TInflateSink() { inflateEnd(&FStream); }

void TInflateSink::Write(const void* data, size_t size) {
  if (FEnded)
    return;
  FStream.next_in = static_cast<Bytef*>(const_cast<void*>(data));
  FStream.avail_in = static_cast<uInt>(size);
  for (;;) {
    FStream.next_out = FBuffer.get();
    FStream.avail_out = static_cast<uInt>(InflatePiece);
    const int rc = inflate(&FStream, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
      Break("The file's content is no valid zlib stream");
    const uint64_t produced = InflatePiece - FStream.avail_out;
    if (produced > FLimit - FWritten)
      Break("The file's content inflates beyond its listed size of " + std::to_string(FLimit) +
            " bytes");
    if (produced > 0)
      FNext.Write(FBuffer.get(), static_cast<size_t>(produced));
    FWritten += produced;
    if (rc == Z_STREAM_END) {
      FEnded = true;
      return;
    }
    // All input taken and room left over: the piece is done.
    if (FStream.avail_in == 0 && FStream.avail_out != 0)
      return;
  }
}

void TInflateSink::Break(const std::string& reason) {
  FBroken = true;
  throw EInflate(reason);
}

void TSealSink::Write(const void* data, size_t size) {
  FCheck.Add(data, size);
  FNext.Write(data, size);
}

void TCRCSink::Write(const void* data, size_t size) {
  FCRC = UpdateCRC(FCRC, data, size);
  FNext.Write(data, size);
}

TFileReplacement::TFileReplacement(std::string fileName, bool removeLeftovers)
    : FFileName(std::move(fileName)) {
  // What an earlier fetch left when the process ended in its middle goes now.
  if (removeLeftovers)
    RemoveTemporariesBeside(FFileName);
  try {
    FStream = CreateTemporaryBeside(FFileName, FTemporary);
  } catch (const std::exception& e) {
    throw EInflate(e.what());
  }
}

TFileReplacement::~TFileReplacement() {
  if (FCommitted || FTemporary.empty())
    return;
  FStream.reset();
  RemoveFile(FTemporary);
}

void TFileReplacement::TWriting::Write(const void* data, size_t size) {
  try {
    FOwner.FStream->WriteBuffer(data, static_cast<int64_t>(size));
  } catch (const std::exception& e) {
    // A full disk is the same as a broken stream: the old file stays.
    throw EInflate(e.what());
  }
}

void TFileReplacement::Commit(TVoVerifiedFiles* verified, const std::string& path, uint32_t crc) {
  TFileStamp written;
  if (verified) {
    // A write time set back beyond the record's margin: whatever writes the
    // file after this moves it forward, so the record may trust the file at
    // once instead of reading it again at the next start.
    FStream->SetWriteTime(TVoVerifiedFiles::Now() - verified->WriteBackdate());
    if (!FStream->GetStamp(written))
      written = TFileStamp();
  }
  FStream.reset();
  if (!RenameFile(FTemporary, FFileName))
    throw EInflate("\"" + FFileName + "\" cannot be replaced");
  FCommitted = true;
  if (!verified)
    return;
  // The name may have changed the change time, nothing else of ours.
  TFileStamp after;
  if (written.Known() && GetFileStamp(FFileName, after) && after.Size == written.Size &&
      after.WriteTime == written.WriteTime)
    verified->Written(path, after, crc);
  else
    verified->Forget(path);
}

TFileContent::TFileContent(const std::string& fileName, uint32_t listedSize,
                           const TVoContentSeal* seal, bool removeLeftovers)
    : FFile(fileName, removeLeftovers), FCRC(FFile.Sink()) {
  TByteSink* next = &FCRC;
  if (seal) {
    FCheck = std::make_unique<TVoContentCheck>(*seal, fileName);
    next = &FSealed.emplace(FCRC, *FCheck);
  }
  FInflater.emplace(*next, listedSize);
}

TFileContent::~TFileContent() = default;

void TFileContent::Commit(TVoVerifiedFiles* verified, const std::string& path) {
  if (!FInflater->Ended()) {
    if (FCheck)
      FCheck->Refuse();
    throw EInflate("The file's content ends before its zlib stream does");
  }
  if (FCheck)
    FCheck->Finish();
  FFile.Commit(verified, path, FCRC.CRC());
}

void TFileContent::Refused() const {
  if (FCheck && FInflater->Broken())
    FCheck->Refuse();
}
