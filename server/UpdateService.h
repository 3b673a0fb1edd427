#pragma once

#include "base/KaExceptions.h"
#include "net/KaMessage.h"
#include "net/KaProtocol.h"
#include "server/BlobFile.h"
#include "server/ReleaseStore.h"
#include "server/SessionScheme.h"

#include <cstdint>
#include <functional>
#include <string>

// A body that does not even carry the 37-byte request header; the HTTP layer
// answers it with 400, since no session answer can be made of it.
KA_DECLARE_EXCEPTION(EBadRequest, Exception);

// The answer to one request. Head holds the whole body, or for a file answer
// its first part; the rest of the file is read and ciphered chunk by chunk
// while it is sent, so memory stays flat whatever the file size.
struct TAnswer {
  IMessagePtr Head; // its WriteStream is sent
  TBlobFile Blob;
  int64_t BlobLeft = 0;
  std::string BlobKey;
  // For the access log.
  int Status = 0;
  std::string Command;
  std::string Note; // a fault of the store behind an error answer

  int64_t Size() { return Head->GetWriteStream().GetSize() + BlobLeft; }
};

// The protocol of the update server, free of HTTP: sessions, sequence
// numbers, ciphering and the three operations.
class TUpdateService {
public:
  static constexpr const char* Hello = HelloCommand;
  static constexpr const char* GetProductInfo = ProductInfoCommand;
  static constexpr const char* GetFile = GetFileCommand;
  // Chunks of a file answer after its head; a multiple of the key size, so
  // every chunk starts with the key's first byte.
  static constexpr int64_t ChunkSize = 64 * 1024;

  using TClock = std::function<int64_t()>; // seconds since 1970

  TUpdateService(TReleaseStore& store, const TSessionScheme& sessions, TClock clock);

  TAnswer Handle(std::string body);
  TReleaseStore& Store() const { return FStore; }
  // The next ciphered chunk of a file answer into `chunk`; false once all is sent.
  static bool NextChunk(TAnswer& answer, TMemoryStream& chunk);

private:
  TAnswer NewSession();
  TAnswer Dispatch(const IMessagePtr& request, const std::string& id, uint8_t sequence,
                   const std::string& command);

  TReleaseStore& FStore;
  const TSessionScheme& FSessions;
  TClock FClock;
};
