#pragma once

#include "base/KaFiles.h"
#include "base/KaHandle.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// A byte stream with a position and a size: what the message format, the HTTP
// back ends and the text stores read from and write to.
class TStream {
public:
  virtual ~TStream() = default;

  // Read and Write move up to `count` bytes and return how many moved.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t GetSize();
  virtual void SetSize(int64_t size) = 0;

  int64_t GetPosition() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

  // All or nothing: EReadError "Stream read error" / EWriteError "Stream write error".
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies `count` bytes from the source's position; count 0 copies the whole
  // source from its start. Returns the bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);

  // The rest of the stream from its position, and writing a whole text.
  std::string ReadRest();
  void WriteString(const std::string& text) {
    WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  }
};

// The receiving end of bytes that arrive in pieces. A download passes its
// bytes through a chain of sinks, each doing one thing (inflating, hashing,
// bounding, writing) and handing what it makes to the next, so that no stage
// ever holds more than a piece. Write raises to refuse a piece, which ends
// the transfer.
class TByteSink {
public:
  virtual ~TByteSink() = default;
  virtual void Write(const void* data, size_t size) = 0;
};

// The last link of a chain: writes every piece whole into a stream.
class TStreamSink : public TByteSink {
public:
  explicit TStreamSink(TStream& stream) : FStream(stream) {}
  void Write(const void* data, size_t size) override {
    FStream.WriteBuffer(data, static_cast<int64_t>(size));
  }

private:
  TStream& FStream;
};

class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t GetSize() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t size) override;

  void Clear();
  uint8_t* Memory() { return reinterpret_cast<uint8_t*>(FData.data()); }
  const std::string& Bytes() const { return FData; }
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

private:
  std::string FData;
  int64_t FPosition = 0;
};

// Open modes of the platform: one access mode OR'ed with one share mode, or
// fmCreate alone (create or truncate, exclusive).
enum : uint32_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

// A file on disk. Raises EFOpenError "Cannot open file "<path>". <reason>" or
// EFCreateError "Cannot create file "<path>". <reason>".
class TFileStream : public TStream {
public:
  TFileStream(const std::string& fileName, uint32_t mode);
  // A file created only if no file or directory has the name yet (read and
  // write, exclusive); none when the name is taken. Raises EFCreateError for
  // every other failure.
  static std::unique_ptr<TFileStream> CreateNew(const std::string& fileName);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;

  const std::string& FileName() const { return FFileName; }
  // The open file's stamp (see KaFiles.h); false when the platform refuses.
  bool GetStamp(TFileStamp& stamp);
  // Sets the last-write time (units of TFileStamp); false when refused.
  bool SetWriteTime(int64_t time);

private:
  TFileStream(std::string fileName, TScopedSystemFile handle)
      : FFileName(std::move(fileName)), FHandle(std::move(handle)) {}

  std::string FFileName;
  TScopedSystemFile FHandle;
};
