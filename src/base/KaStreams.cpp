#include "base/KaStreams.h"

#include "base/KaExceptions.h"

#include <algorithm>
#include <cstring>

int64_t TStream::GetSize() {
  int64_t position = Seek(0, TSeekOrigin::soCurrent);
  int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count)
    throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count)
    throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.GetSize();
  }
  std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(count, 65536)));
  int64_t done = 0;
  while (done < count) {
    int64_t n = std::min<int64_t>(count - done, static_cast<int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    done += n;
  }
  return done;
}

std::string TStream::ReadRest() {
  std::string out;
  char buffer[8192];
  for (;;) {
    int64_t n = Read(buffer, sizeof buffer);
    if (n <= 0)
      break;
    out.append(buffer, static_cast<size_t>(n));
  }
  return out;
}

TMemoryStream::TMemoryStream(std::string bytes) : FData(std::move(bytes)) {}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || FPosition >= GetSize())
    return 0;
  int64_t n = std::min(count, GetSize() - FPosition);
  std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0)
    return 0;
  if (FPosition + count > GetSize())
    FData.resize(static_cast<size_t>(FPosition + count));
  std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
  case TSeekOrigin::soBeginning: FPosition = offset; break;
  case TSeekOrigin::soCurrent: FPosition += offset; break;
  case TSeekOrigin::soEnd: FPosition = GetSize() + offset; break;
  }
  if (FPosition < 0)
    FPosition = 0;
  return FPosition;
}

void TMemoryStream::SetSize(int64_t size) {
  FData.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
  FPosition = std::min(FPosition, GetSize());
}

void TMemoryStream::Clear() {
  FData.clear();
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  FData = file.ReadRest();
  FPosition = 0;
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, fmCreate);
  file.WriteString(FData);
}
