#pragma once

#include "net/KaMessage.h"
#include "server/ReleaseStore.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

// What the tests of the server share: a store in a temporary folder, and the
// client's side of one exchange at byte level, for the cases the project's
// own connection never produces (forged identifiers, garbage, many threads).

class TTempStore {
public:
  TTempStore();
  ~TTempStore();
  const std::string& Dir() const { return FDir; }
  // Stores a blob under `id` and lists it in the index with its size.
  void AddBlob(int32_t id, const std::string& bytes) const;
  // Lists a blob written some other way (a huge one) in the index.
  void IndexBlob(int32_t id) const;
  void Publish(int number, const std::string& displayName, const std::string& manifest) const;

private:
  std::string FDir;
};

// A request body as the client builds it: header, command, arguments
// (appended by `arguments`), ciphered from offset 37 when `key` is not empty.
std::string BuildRequest(const std::string& id, uint8_t sequence, const std::string& key,
                         const std::string& command,
                         const std::function<void(IMessage&)>& arguments = {});

class TLoopbackClient;

// Deterministic bytes that do not compress, so that a file's answer is as
// large as the file.
std::string Noise(size_t size, uint32_t seed);

// The body of a getFile request for `id`, in a session opened on `http` first.
std::string FileRequest(TLoopbackClient& http, int32_t id);
// What a file answer carries before the file's bytes: the common header, the
// 16-byte key and the string's length.
constexpr int64_t FileAnswerOverhead = 27;

struct TParsedAnswer {
  uint8_t Status = 0;
  bool Ciphered = false;
  uint8_t Sequence = 0;
  std::string NextKey;
  IMessagePtr Message; // positioned after the next key
};

// Reads the common header, deciphering with `key` when the answer says so.
TParsedAnswer ParseAnswer(const std::string& body, const std::string& key);

// A client that follows the session as the real one does, over whatever
// `post` does with a body; used for many clients at once.
class TRawSession {
public:
  explicit TRawSession(std::function<std::string(const std::string&)> post)
      : FPost(std::move(post)) {}
  // Sends the command, following new-session answers; returns the success or
  // error answer.
  TParsedAnswer Call(const std::string& command,
                     const std::function<void(IMessage&)>& arguments = {});
  const std::string& Id() const { return FId; }
  void ForgeId(const std::string& id) { FId = id; }

private:
  std::function<std::string(const std::string&)> FPost;
  std::string FId = std::string(32, '-');
  std::string FKey;
  uint8_t FSequence = 0;
};
