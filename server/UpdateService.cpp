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

int32_t LittleEndian32(const char* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | static_cast<unsigned char>(p[i]);
  return static_cast<int32_t>(v);
}

// Empties an answer for the next request; its messages keep their memory.
void Reset(TAnswer& answer) {
  if (answer.Head)
    answer.Head->GetWriteStream().Clear();
  else
    answer.Head = CreateMessage();
  answer.Blob.Close();
  answer.BlobLeft = 0;
  answer.BlobKey.clear();
  answer.Status = 0;
  answer.Command.clear();
  answer.Note.clear();
}

void BeginAnswer(TAnswer& answer, uint8_t status, bool ciphered, uint8_t sequence,
                 const std::string& nextKey) {
  answer.Head->WriteByte(status);
  answer.Head->WriteByte(ciphered ? 1 : 0);
  answer.Head->WriteByte(sequence);
  answer.Head->WriteString(nextKey);
}

} // namespace

TUpdateService::TUpdateService(TReleaseStore& store, const TSessionScheme& sessions, TClock clock)
    : FStore(store), FSessions(sessions), FClock(std::move(clock)) {}

void TUpdateService::NewSession(TAnswer& answer) {
  std::string id = FSessions.NewId(FClock());
  Reset(answer);
  // Never ciphered: the request may have used a key we cannot know.
  BeginAnswer(answer, StatusNewSession, false, 0, FSessions.Key(id, 0));
  answer.Head->WriteString(id);
  answer.Status = StatusNewSession;
}

TAnswer TUpdateService::Handle(const std::string& body) {
  TConnectionState state;
  TAnswer answer;
  Handle(body, state, answer);
  return answer;
}

void TUpdateService::Handle(std::string_view body, TConnectionState& state, TAnswer& answer) {
  if (static_cast<int64_t>(body.size()) < RequestHeaderSize)
    throw EBadRequest("The request is shorter than its header");
  // The identifier is a string of exactly IdLength characters.
  if (LittleEndian32(body.data()) != static_cast<int32_t>(TSessionScheme::IdLength))
    throw EBadRequest("The request header is malformed");
  Reset(answer);
  const std::string_view id = body.substr(4, TSessionScheme::IdLength);
  const auto sequence = static_cast<uint8_t>(body[RequestHeaderSize - 1]);
  if (state.Id != id) {
    std::string fresh(id);
    std::optional<int64_t> made = FSessions.MadeAt(fresh);
    if (!made)
      return NewSession(answer);
    state.Id = std::move(fresh);
    state.Made = *made;
    state.Sequence = -1;
  }
  if (!FSessions.IsAlive(state.Made, FClock()))
    return NewSession(answer);

  if (!state.Request)
    state.Request = CreateMessage();
  IMessage& request = *state.Request;
  TMemoryStream& in = request.GetReadStream();
  in.Clear();
  in.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
  std::string scratch;
  const std::string& key = KeyFor(state.Id, sequence, state, scratch);
  Cipher(in, key, RequestHeaderSize);
  in.SetPosition(RequestHeaderSize);
  std::string command;
  try {
    command = request.ReadString();
  } catch (const EMessage&) {
    return NewSession(answer);
  }
  if (command != Hello && command != GetProductInfo && command != GetFile &&
      !LooksLikeCommand(command)) {
    NewSession(answer);
    answer.Command = "?";
    return;
  }
  Dispatch(sequence, key, command, state, answer);
}

const std::string& TUpdateService::KeyFor(const std::string& id, uint8_t sequence,
                                          TConnectionState& state, std::string& scratch) const {
  if (state.Id == id && state.Sequence == sequence)
    return state.Key;
  scratch = FSessions.Key(id, sequence);
  return scratch;
}

void TUpdateService::Dispatch(uint8_t sequence, const std::string& key, const std::string& command,
                              TConnectionState& state, TAnswer& answer) {
  const uint8_t next = static_cast<uint8_t>(sequence + 1);
  std::string nextKey = FSessions.Key(state.Id, next);
  IMessage& request = *state.Request;
  answer.Command = command;
  auto fail = [&](const std::string& text) {
    BeginAnswer(answer, StatusError, true, next, nextKey);
    answer.Head->WriteString(text);
    answer.Status = StatusError;
  };

  if (command == Hello) {
    BeginAnswer(answer, StatusSuccess, true, next, nextKey);
  } else if (command == GetProductInfo) {
    std::shared_ptr<const TRelease> release = FStore.Current();
    if (!release) {
      fail("No release has been published");
    } else {
      BeginAnswer(answer, StatusSuccess, true, next, nextKey);
      answer.Head->WriteWideString(Utf8ToWide(release->DisplayName));
      answer.Head->WriteString(release->Manifest);
    }
  } else if (command == GetFile) {
    int32_t fileId = 0;
    bool haveId = true;
    try {
      fileId = request.ReadInteger();
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
      BeginAnswer(answer, StatusSuccess, true, next, nextKey);
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
      if (answer.BlobLeft == 0)
        answer.Blob.Close();
      else
        answer.BlobKey = key;
    }
  } else {
    fail("Unknown command " + command);
  }
  Cipher(answer.Head->GetWriteStream(), key, AnswerHeaderSize);
  // Every ciphered answer hands out the key of the request after it. (`key`
  // may be the one held so far, so it goes only now.)
  state.Sequence = next;
  state.Key = std::move(nextKey);
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
