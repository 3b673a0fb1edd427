#pragma once

#include "net/KaMessage.h"

#include <exception>
#include <string>
#include <vector>

// One answer of the server as a back end hands its body over, piece by
// piece: the target stream of the connection's POST. When the answer says it
// is ciphered, its bytes from the header's cipher offset on are deciphered on
// arrival with the key the request went out with. The header (status, flag,
// sequence, next key) and whatever the caller reads go into the message's
// ReadStream; with a result sink set on the message, the first string of a
// successful answer goes to the sink instead, so that an answer of any size
// passes in pieces and never whole.
//
// A ciphered answer while no key is held is kept to its first three bytes:
// reading its header fails as it would for the whole answer.
class TAnswerReceiver : public TStream {
public:
  TAnswerReceiver(IMessage& message, std::string key);

  // Reading back is not what a receiver is for: nothing comes.
  int64_t Read(void* buffer, int64_t count) override { return 0; }
  // Takes the whole piece; a refusal of the sink is raised (and kept).
  int64_t Write(const void* buffer, int64_t count) override;
  // The position and size are the bytes received; only they can be sought.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t GetSize() override { return FReceived; }
  void SetSize(int64_t size) override;

  // What the result sink raised when it refused a piece, or none.
  std::exception_ptr SinkFailure() const { return FSinkFailure; }
  // False when a successful answer ended before the whole result string
  // reached the sink (or before its length did).
  bool ResultComplete() const;

  // The longest session key taken into ReadStream; the bytes of a longer
  // one are dropped, and reading the header fails as for a short answer.
  static constexpr int64_t MaxKeyLength = 1 << 20;

private:
  enum class TPhase { Header, Length, Result, Rest, Dropped };

  void Take(uint8_t* bytes, size_t size);
  void Store(const uint8_t* bytes, size_t size);
  // The header is whole: decides where the bytes after it go.
  void HeaderDone();

  TMemoryStream& FStore;
  std::string FKey;
  TByteSink* FSink;
  std::vector<uint8_t> FPiece;
  int64_t FReceived = 0;
  bool FCiphered = false;
  TPhase FPhase = TPhase::Header;
  int64_t FHeaderEnd = -1; // known once the key's length is
  uint8_t FLength[4] = {}; // the result string's length, as it arrives
  int FLengthBytes = 0;
  int64_t FResultLeft = 0;
  std::exception_ptr FSinkFailure;
};
