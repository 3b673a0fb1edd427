// The server's request handling: the update service on arbitrary request
// bodies, with sessions the fuzzer cannot forge handed to it by the harness
// so that every operation is reached. Every body is either refused as a bad
// request or answered with a well-formed answer, file content streamed to its
// end.
//
// Input: the first byte chooses how the rest becomes a body.
//   0: the rest is the body as it stands.
//   1: a valid session; the next byte is the sequence number, the rest the
//      plain text of the request behind the header, ciphered as a client does.
//   2: a valid session; the next byte is the sequence number, the one after
//      it picks the command, the rest are its arguments, ciphered.
//   3: as 1 with a session that has expired.

#include "fuzz/FuzzCheck.h"
#include "net/KaCipher.h"
#include "net/KaMessage.h"
#include "server/SessionScheme.h"
#include "server/UpdateService.h"
#include "server/testing/ServerTesting.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr int64_t FuzzNow = 1800000000;
constexpr int64_t Lifetime = 3600;

struct TWorld {
  TWorld()
      : Sessions(std::string(32, 's'), Lifetime),
        Service(Store(), Sessions, [] { return FuzzNow; }) {}

  TReleaseStore& Store() {
    static TTempStore temp = [] {
      TTempStore t;
      t.AddBlob(1, "x\x9c\x03\x00\x00\x00\x00\x01"); // an empty zlib stream
      t.AddBlob(2, std::string(3 * TUpdateService::ChunkSize + 17, 'b'));
      t.Publish(1, "Fuzz \xC3\xA9", "[installer]\r\nappName=Fuzz\r\n[files]\r\n|=\r\n|x\r\n");
      return t;
    }();
    static TReleaseStore store(temp.Dir());
    return store;
  }

  TSessionScheme Sessions;
  TUpdateService Service;
};

std::string SessionBody(const std::string& id, uint8_t sequence, const std::string& plain,
                        const std::string& key) {
  IMessagePtr m = CreateMessage();
  m->WriteString(id);
  m->WriteByte(sequence);
  m->GetWriteStream().WriteString(plain);
  Cipher(m->GetWriteStream(), key, 37);
  return m->GetWriteStream().Bytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TWorld world;
  if (size < 2)
    return 0;
  const uint8_t mode = data[0] % 4;
  const uint8_t sequence = data[1];
  std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string id;
  std::string body;
  switch (mode) {
  case 0: body = rest; break;
  case 1:
  case 3:
    id = world.Sessions.NewId(mode == 1 ? FuzzNow : FuzzNow - Lifetime - 1);
    body = SessionBody(id, sequence, rest.substr(1), world.Sessions.Key(id, sequence));
    break;
  default: {
    static const char* const Commands[] = {TUpdateService::Hello, TUpdateService::GetProductInfo,
                                           TUpdateService::GetFile};
    id = world.Sessions.NewId(FuzzNow);
    const std::string command = rest.size() > 1 ? Commands[uint8_t(rest[1]) % 3] : "hi!";
    IMessagePtr plain = CreateMessage();
    plain->WriteString(command);
    plain->GetWriteStream().WriteString(rest.size() > 2 ? rest.substr(2) : std::string());
    body = SessionBody(id, sequence, plain->GetWriteStream().Bytes(),
                       world.Sessions.Key(id, sequence));
    break;
  }
  }

  // One connection that sees every input: what it keeps from one request
  // to the next must change no answer.
  static TConnectionState connection;
  TAnswer answer;
  try {
    world.Service.Handle(body, connection, answer);
  } catch (const EBadRequest&) {
    FUZZ_CHECK(mode == 0);
    return 0;
  }
  FUZZ_CHECK(answer.Head != nullptr);
  std::string whole = answer.Head->GetWriteStream().Bytes();
  const int64_t announced = answer.Size();
  TMemoryStream chunk;
  while (TUpdateService::NextChunk(answer, chunk))
    whole += chunk.Bytes();
  FUZZ_CHECK(static_cast<int64_t>(whole.size()) == announced);

  // The answer reads as a client reads it.
  const std::string key = id.empty() ? std::string() : world.Sessions.Key(id, sequence);
  TParsedAnswer parsed = ParseAnswer(whole, key.empty() ? std::string(16, '?') : key);
  FUZZ_CHECK(parsed.Status <= 2);
  if (parsed.Status == 2) {
    FUZZ_CHECK(!parsed.Ciphered);
    FUZZ_CHECK(world.Sessions.IsValid(parsed.Message->ReadString(), FuzzNow));
  } else {
    FUZZ_CHECK(parsed.Ciphered && mode != 0 && mode != 3);
    FUZZ_CHECK(parsed.Sequence == static_cast<uint8_t>(sequence + 1));
    FUZZ_CHECK(parsed.NextKey == world.Sessions.Key(id, static_cast<uint8_t>(sequence + 1)));
    if (parsed.Status == 1)
      parsed.Message->ReadString();
  }
  return 0;
}
