#include "net/KaAnswerReceiver.h"

#include "base/KaExceptions.h"
#include "net/KaCipher.h"
#include "net/KaProtocol.h"

#include <algorithm>
#include <cstring>

namespace {

// Status, flag and sequence, then the length of the next key.
constexpr int64_t KeyLengthEnd = AnswerHeaderSize + 4;

int32_t LittleEndian32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                              uint32_t{p[3]} << 24);
}

} // namespace

TAnswerReceiver::TAnswerReceiver(IMessage& message, std::string key)
    : FStore(message.GetReadStream()), FKey(std::move(key)), FSink(message.GetResultSink()) {}

int64_t TAnswerReceiver::Write(const void* buffer, int64_t count) {
  if (count <= 0)
    return 0;
  auto* in = static_cast<const uint8_t*>(buffer);
  size_t size = static_cast<size_t>(count);
  // The first bytes are always plain; the second says whether the rest is not.
  while (size > 0 && FReceived < AnswerHeaderSize) {
    Store(in, 1);
    if (FReceived == 1)
      FCiphered = *in != 0;
    ++FReceived;
    ++in;
    --size;
    if (FReceived == AnswerHeaderSize && FCiphered && FKey.empty())
      FPhase = TPhase::Dropped;
  }
  if (size == 0)
    return count;
  if (FPhase == TPhase::Dropped) {
    FReceived += static_cast<int64_t>(size);
    return count;
  }
  FPiece.assign(in, in + size);
  if (FCiphered)
    CipherBytes(FPiece.data(), size, FKey, static_cast<uint64_t>(FReceived - AnswerHeaderSize));
  Take(FPiece.data(), size);
  return count;
}

void TAnswerReceiver::Take(uint8_t* bytes, size_t size) {
  while (size > 0) {
    size_t n = size;
    switch (FPhase) {
    case TPhase::Header:
      if (FHeaderEnd < 0) {
        n = std::min(n, static_cast<size_t>(KeyLengthEnd - FReceived));
        Store(bytes, n);
        if (FReceived + static_cast<int64_t>(n) == KeyLengthEnd) {
          const int32_t keyLength = LittleEndian32(FStore.Memory() + AnswerHeaderSize);
          FHeaderEnd = KeyLengthEnd + std::max(keyLength, 0);
          if (keyLength > MaxKeyLength)
            FPhase = TPhase::Dropped;
        }
      } else {
        n = std::min(n, static_cast<size_t>(FHeaderEnd - FReceived));
        Store(bytes, n);
      }
      FReceived += static_cast<int64_t>(n);
      if (FReceived == FHeaderEnd && FPhase == TPhase::Header)
        HeaderDone();
      break;
    case TPhase::Length:
      n = std::min(n, static_cast<size_t>(4 - FLengthBytes));
      std::memcpy(FLength + FLengthBytes, bytes, n);
      FLengthBytes += static_cast<int>(n);
      FReceived += static_cast<int64_t>(n);
      if (FLengthBytes == 4) {
        // A negative length is an empty string, as reading one gives.
        FResultLeft = std::max(LittleEndian32(FLength), 0);
        FPhase = FResultLeft > 0 ? TPhase::Result : TPhase::Rest;
      }
      break;
    case TPhase::Result:
      n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(n), FResultLeft));
      try {
        FSink->Write(bytes, n);
      } catch (...) {
        FSinkFailure = std::current_exception();
        throw;
      }
      FReceived += static_cast<int64_t>(n);
      FResultLeft -= static_cast<int64_t>(n);
      if (FResultLeft == 0)
        FPhase = TPhase::Rest;
      break;
    case TPhase::Rest:
      Store(bytes, n);
      FReceived += static_cast<int64_t>(n);
      break;
    case TPhase::Dropped: FReceived += static_cast<int64_t>(n); break;
    }
    bytes += n;
    size -= n;
  }
}

void TAnswerReceiver::Store(const uint8_t* bytes, size_t size) {
  FStore.WriteBuffer(bytes, static_cast<int64_t>(size));
}

void TAnswerReceiver::HeaderDone() {
  const uint8_t status = FStore.Memory()[0];
  const bool success =
      status != StatusError && status != StatusNewSession && status != StatusSendAgain;
  FPhase = FSink && success ? TPhase::Length : TPhase::Rest;
}

bool TAnswerReceiver::ResultComplete() const {
  return FPhase != TPhase::Length && FPhase != TPhase::Result;
}

int64_t TAnswerReceiver::Seek(int64_t offset, TSeekOrigin origin) {
  // Current and end are the same place: what has arrived.
  const int64_t to = origin == TSeekOrigin::soBeginning ? offset : FReceived + offset;
  if (to != FReceived)
    throw Exception("An answer cannot be read again from another place");
  return FReceived;
}

void TAnswerReceiver::SetSize(int64_t size) {
  if (size != FReceived)
    throw Exception("An answer cannot be read again from another place");
}
