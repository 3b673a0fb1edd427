#include "server/testing/ServerTesting.h"

#include "net/KaCipher.h"
#include "net/KaProtocol.h"
#include "server/testing/LoopbackClient.h"

#include <algorithm>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

TTempStore::TTempStore() {
  static int counter = 0;
  FDir = (fs::temp_directory_path() /
          ("ws_store_" + std::to_string(::getpid()) + "_" + std::to_string(++counter)))
             .string();
  fs::remove_all(FDir);
  fs::create_directories(FDir + "/blobs");
}

TTempStore::~TTempStore() {
  std::error_code ignored;
  fs::remove_all(FDir, ignored);
}

void TTempStore::AddBlob(int32_t id, const std::string& bytes) const {
  WriteFileAtomically(FDir + "/blobs/" + std::to_string(id), bytes);
  IndexBlob(id);
}

void TTempStore::IndexBlob(int32_t id) const {
  TReleaseStore store(FDir);
  TIndex index = store.LoadIndex();
  // The index is keyed by content hash; any key unique per blob serves here.
  index.ByHash["test-blob-" + std::to_string(id)] = {
      id, static_cast<int64_t>(fs::file_size(store.BlobPath(id)))};
  index.NextId = std::max(index.NextId, id + 1);
  store.SaveIndex(index);
}

void TTempStore::Publish(int number, const std::string& displayName,
                         const std::string& manifest) const {
  TReleaseStore store(FDir);
  store.WriteRelease(TRelease{number, displayName, manifest});
  store.MakeCurrent(number);
}

std::string Noise(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return bytes;
}

std::string BuildRequest(const std::string& id, uint8_t sequence, const std::string& key,
                         const std::string& command,
                         const std::function<void(IMessage&)>& arguments) {
  IMessagePtr m = CreateMessage();
  m->WriteString(id);
  m->WriteByte(sequence);
  m->WriteString(command);
  if (arguments)
    arguments(*m);
  if (!key.empty())
    Cipher(m->GetWriteStream(), key, 37);
  return m->GetWriteStream().Bytes();
}

TParsedAnswer ParseAnswer(const std::string& body, const std::string& key) {
  TParsedAnswer a;
  a.Message = CreateMessage();
  a.Message->GetReadStream() = TMemoryStream(body);
  a.Status = a.Message->ReadByte();
  a.Ciphered = a.Message->ReadByte() != 0;
  a.Sequence = a.Message->ReadByte();
  if (a.Ciphered)
    Cipher(a.Message->GetReadStream(), key, 3);
  a.NextKey = a.Message->ReadString();
  return a;
}

std::string FileRequest(TLoopbackClient& http, int32_t id) {
  TParsedAnswer hello = ParseAnswer(
      http.Post(ServerPath, BuildRequest(std::string(SessionIdLength, '-'), 0, "", HelloCommand))
          .Body,
      "");
  std::string session = hello.Message->ReadString();
  return BuildRequest(session, 0, hello.NextKey, GetFileCommand,
                      [id](IMessage& m) { m.WriteInteger(id); });
}

TParsedAnswer TRawSession::Call(const std::string& command,
                                const std::function<void(IMessage&)>& arguments) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::string key = FKey;
    TParsedAnswer a =
        ParseAnswer(FPost(BuildRequest(FId, FSequence, key, command, arguments)), key);
    if (a.Ciphered) {
      ++FSequence;
      if (a.Sequence != FSequence)
        throw std::runtime_error("out of sync");
    }
    FKey = a.NextKey;
    if (a.Status != 2)
      return a;
    FId = a.Message->ReadString();
    FSequence = 0;
  }
  throw std::runtime_error("the server keeps handing out new sessions");
}
