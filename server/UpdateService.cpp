#include "server/UpdateService.h"

#include "base/KaText.h"
#include "net/KaCipher.h"

#include <algorithm>
#include <limits>

namespace {

constexpr size_t LongestCommand = 64;

// A command that deciphered to readable text but names nothing we offer. It
// gets an error rather than a new session: a new session would make the
// client send the same request again, for ever.
bool LooksLikeCommand(const std::string& command) {
  if (command.empty() || command.size() > LongestCommand)
    return false;
  return std::all_of(command.begin(), command.end(), [](char c) { return c > ' ' && c < 127; });
}

IMessagePtr BeginAnswer(uint8_t status, bool ciphered, uint8_t sequence,
                        const std::string& nextKey) {
  IMessagePtr answer = CreateMessage();
  answer->WriteByte(status);
  answer->WriteByte(ciphered ? 1 : 0);
  answer->WriteByte(sequence);
  answer->WriteString(nextKey);
  return answer;
}

} // namespace

TUpdateService::TUpdateService(TReleaseStore& store, const TSessionScheme& sessions, TClock clock)
    : FStore(store), FSessions(sessions), FClock(std::move(clock)) {}

TAnswer TUpdateService::NewSession() {
  std::string id = FSessions.NewId(FClock());
  TAnswer answer;
  // Never ciphered: the request may have used a key we cannot know.
  answer.Head = BeginAnswer(StatusNewSession, false, 0, FSessions.Key(id, 0));
  answer.Head->WriteString(id);
  answer.Status = StatusNewSession;
  return answer;
}

TAnswer TUpdateService::Handle(std::string body) {
  if (static_cast<int64_t>(body.size()) < RequestHeaderSize)
    throw EBadRequest("The request is shorter than its header");
  IMessagePtr request = CreateMessage();
  request->GetReadStream() = TMemoryStream(std::move(body));
  std::string id;
  try {
    id = request->ReadString();
  } catch (const EMessage&) {
  }
  if (id.size() != TSessionScheme::IdLength)
    throw EBadRequest("The request header is malformed");
  uint8_t sequence = request->ReadByte();
  if (!FSessions.IsValid(id, FClock()))
    return NewSession();

  Cipher(request->GetReadStream(), FSessions.Key(id, sequence), RequestHeaderSize);
  std::string command;
  try {
    command = request->ReadString();
  } catch (const EMessage&) {
    return NewSession();
  }
  if (command != Hello && command != GetProductInfo && command != GetFile &&
      !LooksLikeCommand(command)) {
    TAnswer answer = NewSession();
    answer.Command = "?";
    return answer;
  }
  return Dispatch(request, id, sequence, command);
}

TAnswer TUpdateService::Dispatch(const IMessagePtr& request, const std::string& id,
                                 uint8_t sequence, const std::string& command) {
  const uint8_t next = static_cast<uint8_t>(sequence + 1);
  const std::string key = FSessions.Key(id, sequence);
  TAnswer answer;
  answer.Command = command;
  auto fail = [&](const std::string& text) {
    answer.Head = BeginAnswer(StatusError, true, next, FSessions.Key(id, next));
    answer.Head->WriteString(text);
    answer.Status = StatusError;
  };

  if (command == Hello) {
    answer.Head = BeginAnswer(StatusSuccess, true, next, FSessions.Key(id, next));
  } else if (command == GetProductInfo) {
    std::shared_ptr<const TRelease> release = FStore.Current();
    if (!release) {
      fail("No release has been published");
    } else {
      answer.Head = BeginAnswer(StatusSuccess, true, next, FSessions.Key(id, next));
      answer.Head->WriteWideString(Utf8ToWide(release->DisplayName));
      answer.Head->WriteString(release->Manifest);
    }
  } else if (command == GetFile) {
    int32_t fileId = 0;
    bool haveId = true;
    try {
      fileId = request->ReadInteger();
    } catch (const EMessage&) {
      haveId = false;
    }
    if (!haveId) {
      fail("admin:getFile needs a file identifier");
    } else if (!FStore.OpenBlob(fileId, answer.Blob, answer.Note)) {
      fail(answer.Note.empty()
               ? "Unknown file identifier " + std::to_string(fileId)
               : "File " + std::to_string(fileId) + " is not available on the server");
    } else if (answer.Blob.Size() > std::numeric_limits<int32_t>::max()) {
      answer.Blob.Close();
      fail("File " + std::to_string(fileId) + " is too large to send");
    } else {
      answer.Head = BeginAnswer(StatusSuccess, true, next, FSessions.Key(id, next));
      answer.Head->WriteInteger(static_cast<int32_t>(answer.Blob.Size()));
      // The head takes as much of the file as brings its ciphered part to a
      // multiple of the key length, so the chunks after it start in phase.
      TMemoryStream& head = answer.Head->GetWriteStream();
      const int64_t used = head.GetSize();
      const int64_t room = ChunkSize + AnswerHeaderSize - used;
      const int64_t first = std::min(answer.Blob.Size(), room);
      head.SetSize(used + first);
      answer.Blob.ReadExactly(head.Memory() + used, first);
      answer.BlobLeft = answer.Blob.Size() - first;
      answer.BlobKey = key;
      if (answer.BlobLeft == 0)
        answer.Blob.Close();
    }
  } else {
    fail("Unknown command " + command);
  }
  Cipher(answer.Head->GetWriteStream(), key, AnswerHeaderSize);
  return answer;
}

bool TUpdateService::NextChunk(TAnswer& answer, TMemoryStream& chunk) {
  if (answer.BlobLeft <= 0)
    return false;
  const int64_t n = std::min(answer.BlobLeft, ChunkSize);
  chunk.SetSize(n);
  answer.Blob.ReadExactly(chunk.Memory(), n);
  Cipher(chunk, answer.BlobKey, 0);
  answer.BlobLeft -= n;
  if (answer.BlobLeft == 0)
    answer.Blob.Close();
  return true;
}
