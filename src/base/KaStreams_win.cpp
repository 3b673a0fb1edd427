#include "base/KaStreams.h"

#include "base/KaExceptions.h"

#include <windows.h>

static HANDLE H(const TScopedSystemFile& h) { return reinterpret_cast<HANDLE>(h.Get()); }

TFileStream::TFileStream(const std::string& fileName, uint32_t mode) : FFileName(fileName) {
  HANDLE h;
  if (mode == fmCreate) {
    h = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
      throw EFCreateError("Cannot create file \"" + fileName + "\". " +
                          SysErrorMessage(GetLastError()));
  } else {
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    DWORD share;
    switch (mode & 0xF0) {
    case fmShareExclusive: share = 0; break;
    case fmShareDenyWrite: share = FILE_SHARE_READ; break;
    case fmShareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    }
    h = CreateFileA(fileName.c_str(), access[(mode & 3) < 3 ? (mode & 3) : 0], share, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
      throw EFOpenError("Cannot open file \"" + fileName + "\". " +
                        SysErrorMessage(GetLastError()));
  }
  FHandle.Reset(reinterpret_cast<intptr_t>(h));
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  DWORD done = 0;
  if (count <= 0 || !ReadFile(H(FHandle), buffer, static_cast<DWORD>(count), &done, nullptr))
    return 0;
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  DWORD done = 0;
  if (count <= 0 || !WriteFile(H(FHandle), buffer, static_cast<DWORD>(count), &done, nullptr))
    return 0;
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  static const DWORD method[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  if (!SetFilePointerEx(H(FHandle), distance, &result, method[static_cast<int>(origin)]))
    return -1;
  return result.QuadPart;
}

void TFileStream::SetSize(int64_t size) {
  int64_t position = GetPosition();
  SetPosition(size);
  if (!SetEndOfFile(H(FHandle)))
    throw EWriteError("Stream write error");
  if (position < size)
    SetPosition(position);
}

std::unique_ptr<TFileStream> TFileStream::CreateNew(const std::string& fileName) {
  HANDLE h = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    // A directory of the name answers "access denied".
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS ||
        (code == ERROR_ACCESS_DENIED &&
         GetFileAttributesA(fileName.c_str()) != INVALID_FILE_ATTRIBUTES))
      return nullptr;
    throw EFCreateError("Cannot create file \"" + fileName + "\". " + SysErrorMessage(code));
  }
  return std::unique_ptr<TFileStream>(
      new TFileStream(fileName, TScopedSystemFile(reinterpret_cast<intptr_t>(h))));
}
