#include "net/testing/KaNetTesting.h"

#include "base/KaRegistry.h"
#include "base/KaStrings.h"
#include "net/KaCipher.h"
#include "net/KaMessage.h"

#include <algorithm>
#include <zlib.h>

namespace {

class TScriptedHTTP : public THTTP {
public:
  void Post(const std::string& url, TStream& source, TStream& target) override {
    THTTPScript& script = HTTPScript();
    GetResponse().Clear();
    script.Posts.push_back({url, GetRequest().GetContentType(), source.ReadRest()});
    if (script.Answers.empty())
      throw EHTTP("The script has no answer left");
    TScriptedAnswer answer = script.Answers.front();
    script.Answers.pop_front();
    if (answer.Failure)
      throw EHTTP(*answer.Failure);
    GetResponse().SetStatusCode(answer.Status);
    GetResponse().SetContentLength(static_cast<int32_t>(answer.Body.size()));
    const size_t piece = script.PieceSize ? script.PieceSize : answer.Body.size();
    for (size_t at = 0; at < answer.Body.size(); at += piece)
      target.WriteBuffer(answer.Body.data() + at,
                         static_cast<int64_t>(std::min(piece, answer.Body.size() - at)));
  }
};

} // namespace

TInternetSettingsScope::TInternetSettingsScope() {
  TRegistry reg(TRootKey::rkCurrentUser);
  if (reg.OpenKeyReadOnly(SystemProxyKey)) {
    if (reg.ValueExists("ProxyEnable"))
      FSavedEnable = reg.ReadInteger("ProxyEnable");
    if (reg.ValueExists("ProxyServer"))
      FSavedServer = reg.ReadString("ProxyServer");
    reg.CloseKey();
  }
  ClearAll();
}

TInternetSettingsScope::~TInternetSettingsScope() {
  try {
    ClearAll();
    SystemProxy(FSavedEnable, FSavedServer);
  } catch (...) {
    // A test's registry left behind must not end the test program.
  }
}

void TInternetSettingsScope::ClearAll() {
  TRegistry machine(TRootKey::rkLocalMachine);
  machine.DeleteKey(InternetSettingsKey);
  TRegistry user(TRootKey::rkCurrentUser);
  if (user.OpenKey(SystemProxyKey, false)) {
    user.DeleteValue("ProxyEnable");
    user.DeleteValue("ProxyServer");
    user.CloseKey();
  }
}

void TInternetSettingsScope::Write(const std::string& name, const std::string& value) {
  TRegistry reg(TRootKey::rkLocalMachine);
  reg.OpenKey(InternetSettingsKey, true);
  reg.WriteString(name, value);
  reg.CloseKey();
}

void TInternetSettingsScope::Write(const std::string& name, uint32_t value) {
  TRegistry reg(TRootKey::rkLocalMachine);
  reg.OpenKey(InternetSettingsKey, true);
  reg.WriteInteger(name, value);
  reg.CloseKey();
}

void TInternetSettingsScope::SystemProxy(std::optional<uint32_t> enable,
                                         std::optional<std::string> server) {
  TRegistry reg(TRootKey::rkCurrentUser);
  reg.OpenKey(SystemProxyKey, true);
  if (enable)
    reg.WriteInteger("ProxyEnable", *enable);
  if (server)
    reg.WriteString("ProxyServer", *server);
  reg.CloseKey();
}

void THTTPScript::Reset() {
  Answers.clear();
  Posts.clear();
  Created = 0;
  PieceSize = 0;
}

THTTPScript& HTTPScript() {
  static THTTPScript* script = [] {
    static THTTPScript s;
    HTTPFactory().Register(THTTPScript::LibName, [] {
      ++s.Created;
      return IHTTPPtr(std::make_shared<TScriptedHTTP>());
    });
    return &s;
  }();
  return *script;
}

std::string AnswerBody(uint8_t status, uint8_t flag, uint8_t sequence, const std::string& nextKey,
                       const std::string& rest, const std::string& cipherKey) {
  IMessagePtr m = CreateMessage();
  m->WriteByte(status);
  m->WriteByte(flag);
  m->WriteByte(sequence);
  m->WriteString(nextKey);
  m->GetWriteStream().WriteString(rest);
  if (!cipherKey.empty())
    Cipher(m->GetWriteStream(), cipherKey, 3);
  return m->GetWriteStream().Bytes();
}

std::string WireString(const std::string& text) {
  IMessagePtr m = CreateMessage();
  m->WriteString(text);
  return m->GetWriteStream().Bytes();
}

IMessagePtr TScriptedFileConnection::NewMessage(const std::string& command) {
  IMessagePtr m = CreateMessage();
  m->SetCommand(command);
  return m;
}

void TScriptedFileConnection::Call(const IMessagePtr& message, const std::string& path) {
  if (message->GetCommand() != "admin:getFile" || !path.empty())
    throw EScriptedCall("unexpected call " + message->GetCommand() + " " + path);
  IMessagePtr request = CreateMessage();
  request->GetReadStream().CopyFrom(message->GetWriteStream(), 0);
  request->GetReadStream().SetPosition(0);
  const int32_t id = request->ReadInteger();
  Calls.push_back(id);
  Limits.push_back(message->GetAnswerLimit());
  if (Failing.count(id))
    throw EScriptedCall("$(Connection is Out-of-Sync)!");
  const std::string content = Answers.count(id) ? Answers[id] : Deflate("content " + IntToStr(id));
  TMemoryStream& r = message->GetReadStream();
  r.Clear();
  if (TByteSink* sink = message->GetResultSink()) {
    // In pieces of an odd size, as a back end hands them over.
    constexpr size_t Piece = 4093;
    for (size_t at = 0; at < content.size(); at += Piece)
      sink->Write(content.data() + at, std::min(Piece, content.size() - at));
    return;
  }
  IMessagePtr answer = CreateMessage();
  answer->WriteString(content);
  r.CopyFrom(answer->GetWriteStream(), 0);
  r.SetPosition(0);
}

std::string Deflate(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                9) != Z_OK)
    throw Exception("compress2 failed");
  out.resize(size);
  return out;
}

std::string DeflatedZeros(uint64_t size) {
  z_stream z{};
  if (deflateInit(&z, 9) != Z_OK)
    throw Exception("deflateInit failed");
  static const std::string zeros(1 << 20, '\0');
  std::string out;
  char buffer[1 << 16];
  uint64_t left = size;
  int flush = Z_NO_FLUSH;
  do {
    if (z.avail_in == 0 && left > 0) {
      const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
      z.avail_in = static_cast<uInt>(piece);
      left -= piece;
    }
    flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    deflate(&z, flush);
    out.append(buffer, sizeof buffer - z.avail_out);
  } while (!(flush == Z_FINISH && z.avail_out != 0));
  deflateEnd(&z);
  return out;
}
