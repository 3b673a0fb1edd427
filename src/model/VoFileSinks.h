#pragma once

#include "base/KaExceptions.h"
#include "base/KaStreams.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <zlib.h>

// The stages a fetched file's content passes on its way to disk, one piece
// at a time, so that a file of any size needs no more memory than a piece:
//
//   answer string (zlib stream)
//     -> TInflateSink  (never beyond the listed size)
//     -> TSealSink     (a signed release: the content's seal, hashed on the way)
//     -> TCRCSink      (the CRC-32 of the content, for the verified files)
//     -> TFileReplacement::Sink  (the temporary beside the target)
//
// and, once the answer is whole and every stage content, Commit renames the
// temporary over the target (TFileContent puts the chain together). Each
// stage is a pass-through sink of its own, so no stage knows of another.

class TVoVerifiedFiles;
class TVoContentCheck;
struct TVoContentSeal;

// A fetched file's content that cannot become the file: a broken zlib
// stream, one that inflates beyond the file's listed size, or a file that
// cannot be written.
KA_DECLARE_EXCEPTION(EInflate, Exception);

// Inflates one zlib stream (RFC 1950) piece by piece into the next sink,
// never producing more than `limit` bytes: a small stream can claim
// gigabytes. Bytes after the end of the stream are ignored. Raises EInflate
// for a broken stream or one that goes beyond the limit.
class TInflateSink : public TByteSink {
public:
  TInflateSink(TByteSink& next, uint64_t limit);
  ~TInflateSink() override;
  TInflateSink(const TInflateSink&) = delete;
  TInflateSink& operator=(const TInflateSink&) = delete;

  void Write(const void* data, size_t size) override;
  // Whether the stream has come to its end.
  bool Ended() const { return FEnded; }
  // Whether the inflater refused the stream itself (broken, or beyond the
  // limit), rather than a later stage a piece.
  bool Broken() const { return FBroken; }

private:
  [[noreturn]] void Break(const std::string& reason);

  TByteSink& FNext;
  z_stream FStream{};
  uint64_t FLimit;
  uint64_t FWritten = 0;
  bool FEnded = false;
  bool FBroken = false;
  std::unique_ptr<unsigned char[]> FBuffer;
};

// Passes every piece on and keeps the CRC-32 of all of them.
class TCRCSink : public TByteSink {
public:
  explicit TCRCSink(TByteSink& next) : FNext(next) {}
  void Write(const void* data, size_t size) override;
  uint32_t CRC() const { return ~FCRC; }

private:
  TByteSink& FNext;
  uint32_t FCRC = 0xFFFFFFFFu;
};

// Passes on what the check of a sealed content takes: raises EReleaseSeal
// at the first byte beyond the sealed size.
class TSealSink : public TByteSink {
public:
  TSealSink(TByteSink& next, TVoContentCheck& check) : FNext(next), FCheck(check) {}
  void Write(const void* data, size_t size) override;

private:
  TByteSink& FNext;
  TVoContentCheck& FCheck;
};

// A file replaced only by whole content: a new temporary beside it takes the
// pieces, and Commit renames it over the file. Not committed, the temporary
// goes with the object and the file stays as it was. Raises EInflate when no
// temporary can be made or written. With `removeLeftovers`, what an earlier
// run that ended midway left beside the file goes first; a caller that knows
// the directory's names from its scan removes them itself and spares the
// search (a whole directory's listing under Wine, for every file).
class TFileReplacement {
public:
  explicit TFileReplacement(std::string fileName, bool removeLeftovers = true);
  ~TFileReplacement();
  TFileReplacement(const TFileReplacement&) = delete;
  TFileReplacement& operator=(const TFileReplacement&) = delete;

  TByteSink& Sink() { return FSink; }
  // Puts the content in place of the file. With `verified`, its write time
  // is set back first and the result recorded as holding content of `crc`
  // under `path` (below the record's directory). Raises EInflate when the
  // file cannot be replaced (it is in use).
  void Commit(TVoVerifiedFiles* verified, const std::string& path, uint32_t crc);

private:
  class TWriting : public TByteSink {
  public:
    explicit TWriting(TFileReplacement& owner) : FOwner(owner) {}
    void Write(const void* data, size_t size) override;

  private:
    TFileReplacement& FOwner;
  };

  std::string FFileName;
  std::string FTemporary;
  std::unique_ptr<TFileStream> FStream;
  TWriting FSink{*this};
  bool FCommitted = false;
};

// One fetched file's content on its way from its zlib stream into the file:
// the chain above, with the seal's stage when the release is signed.
class TFileContent {
public:
  // Raises EInflate when no temporary can be made beside the file.
  TFileContent(const std::string& fileName, uint32_t listedSize, const TVoContentSeal* seal,
               bool removeLeftovers);
  ~TFileContent();
  TFileContent(const TFileContent&) = delete;
  TFileContent& operator=(const TFileContent&) = delete;

  // Where the zlib stream goes, piece by piece.
  TByteSink& Sink() { return *FInflater; }
  // The answer is whole: the content replaces the file (see
  // TFileReplacement::Commit). Raises EInflate when the stream did not end
  // or the file cannot be replaced; with a seal, EReleaseSeal when the
  // content is not the sealed one, a stream cut short included.
  void Commit(TVoVerifiedFiles* verified, const std::string& path);
  // A stage refused the content with EInflate: with a seal, a stream the
  // inflater refused is content that is not the sealed one, and this raises
  // EReleaseSeal; otherwise it returns.
  void Refused() const;

private:
  TFileReplacement FFile;
  TCRCSink FCRC;
  std::unique_ptr<TVoContentCheck> FCheck;
  std::optional<TSealSink> FSealed;
  std::optional<TInflateSink> FInflater;
};
