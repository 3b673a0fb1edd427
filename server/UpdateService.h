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
#include <string_view>

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

// What one connection keeps from one request to the next, so that a client
// that stays on its connection costs one MAC per request instead of three
// and no new message: the identifier last found genuine there, the key
// handed out for its next request, and the message each request is read
// from. The answers are the same with a fresh one.
struct TConnectionState {
  std::string Id;
  int64_t Made = 0;
  int Sequence = -1; // the sequence number Key is for; -1: none
  std::string Key;
  IMessagePtr Request;
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

  // Answers `body` into `answer`, whose messages are reused.
  void Handle(std::string_view body, TConnectionState& state, TAnswer& answer);
  // The same for a request on a connection of its own.
  TAnswer Handle(const std::string& body);
  TReleaseStore& Store() const { return FStore; }
  // The next ciphered chunk of a file answer into `chunk`; false once all is sent.
  static bool NextChunk(TAnswer& answer, TMemoryStream& chunk);

private:
  void NewSession(TAnswer& answer);
  void Dispatch(uint8_t sequence, const std::string& key, const std::string& command,
                TConnectionState& state, TAnswer& answer);
  // K(id, sequence), from the state when it holds that one.
  const std::string& KeyFor(const std::string& id, uint8_t sequence, TConnectionState& state,
                            std::string& scratch) const;

  TReleaseStore& FStore;
  const TSessionScheme& FSessions;
  TClock FClock;
};
