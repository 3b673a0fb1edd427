#pragma once

// Test support of the net library: a clean slate of internet settings in the
// registry, and a scripted HTTP back end that records what it is asked to
// send and answers from a queue.

#include "base/KaExceptions.h"
#include "net/KaConnectionIntf.h"
#include "net/KaHTTP.h"

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Removes the internet settings and the current user's system proxy for the
// life of the object, and puts the system proxy back afterwards (under Wine
// the registry is the real one of the test prefix).
class TInternetSettingsScope {
public:
  TInternetSettingsScope();
  ~TInternetSettingsScope();
  TInternetSettingsScope(const TInternetSettingsScope&) = delete;
  TInternetSettingsScope& operator=(const TInternetSettingsScope&) = delete;

  void Write(const std::string& name, const std::string& value);
  void Write(const std::string& name, uint32_t value);
  // ProxyEnable and ProxyServer of the current user; nullopt leaves one out.
  void SystemProxy(std::optional<uint32_t> enable, std::optional<std::string> server);

private:
  void ClearAll();
  std::optional<uint32_t> FSavedEnable;
  std::optional<std::string> FSavedServer;
};

// One exchange of the scripted back end: what came in, and what it answered.
struct TScriptedPost {
  std::string Url;
  std::string ContentType;
  std::string Body;
};

struct TScriptedAnswer {
  int32_t Status = 200;
  std::string Body;
  // When set, Post raises EHTTP with this text instead of answering.
  std::optional<std::string> Failure;
};

// The script shared by every client of the "Scripted" back end; the back end
// is registered with HTTPFactory() on first use of the script.
struct THTTPScript {
  std::deque<TScriptedAnswer> Answers;
  std::vector<TScriptedPost> Posts;
  int Created = 0; // clients made by the factory
  // The size of the pieces an answer's body is written in; 0: in one.
  size_t PieceSize = 0;

  void Reset();
  // Selects the scripted back end in the internet settings.
  static constexpr const char* LibName = "Scripted";
};

THTTPScript& HTTPScript();

// The body of an answer with the common header: status, cipher flag,
// sequence and the next key (a string), followed by rest; with a cipher key
// everything from offset 3 on is XORed with it, as a server does.
std::string AnswerBody(uint8_t status, uint8_t flag, uint8_t sequence, const std::string& nextKey,
                       const std::string& rest = std::string(),
                       const std::string& cipherKey = std::string());
// The bytes of a string as the message format writes it.
std::string WireString(const std::string& text);

// A connection that serves files as the update server does, without HTTP:
// "admin:getFile" with an identifier is answered with a zlib stream of
// "content <id>", or of Answers[id] as it is (any bytes, a broken stream
// too); an identifier in Failing raises EScriptedCall as a server that has
// gone away would. Every identifier asked for is kept in Calls, in order,
// with the message's answer limit in Limits.
KA_DECLARE_EXCEPTION(EScriptedCall, Exception);

class TScriptedFileConnection : public IConnection {
public:
  bool GetActive() const override { return true; }
  void SetActive(bool) override {}
  std::string GetHost() const override { return "scripted"; }
  void SetHost(const std::string&) override {}
  std::string GetPath() const override { return "/cgi-bin/RUzodi"; }
  void SetPath(const std::string&) override {}
  IMessagePtr NewMessage(const std::string& command) override;
  // Raises EScriptedCall also for a command other than "admin:getFile" or a
  // path of its own: the procedures call with the connection's path.
  void Call(const IMessagePtr& message, const std::string& path) override;

  std::map<int32_t, std::string> Answers;
  std::set<int32_t> Failing;
  std::vector<int32_t> Calls;
  std::vector<int64_t> Limits; // the answer limit of each call
};

// data as one zlib stream (RFC 1950), as the server stores file content.
std::string Deflate(const std::string& data);
// A zlib stream of `size` zero bytes, made piece by piece: a decompression
// bomb (1 GB of zeros is about 1 MB of stream).
std::string DeflatedZeros(uint64_t size);
