#pragma once

#include "base/KaExceptions.h"
#include "net/KaActivatable.h"
#include "net/KaConnectionIntf.h"
#include "net/KaHTTP.h"

#include <cstdint>
#include <mutex>
#include <string>

class TAnswerReceiver;

KA_DECLARE_EXCEPTION(EConnection, Exception);
// Carries exactly the text the server sent with status 1.
KA_DECLARE_EXCEPTION(ERemoteException, Exception);

// The session with one server over HTTP POST. A request is the 37-byte
// header (session identifier and sequence, always plain) followed by the
// command and its arguments, XORed with the session key while the server has
// handed one out; the answer's own header says whether it is ciphered and
// carries the next key. The first Call opens the session with "hi!".
class TConnection : public TActivatable<IConnection> {
public:
  TConnection() = default;
  ~TConnection() override;
  TConnection(const TConnection&) = delete;
  TConnection& operator=(const TConnection&) = delete;

  std::string GetHost() const override { return FHost; }
  void SetHost(const std::string& host) override { FHost = host; }
  std::string GetPath() const override { return FPath; }
  void SetPath(const std::string& path) override { FPath = path; }

  // A message whose WriteStream holds the header placeholder and the
  // command; the caller appends the arguments.
  IMessagePtr NewMessage(const std::string& command) override;
  void Call(const IMessagePtr& message, const std::string& path = std::string()) override;

  // How often one request goes out again because the server answered 2 (new
  // session) or 3 (send again) before the call gives up.
  static constexpr int MaxResends = 8;

protected:
  void Activate() override;
  void Deactivate() override;
  // Runs before a request goes out again after status 3.
  virtual void BeforeResend() {}

private:
  enum class TOutcome { Done, NewSession, SendAgain };

  void Exchange(IMessage& message, const std::string& path);
  TOutcome ExchangeOnce(IMessage& message, const std::string& path);
  void Transfer(IMessage& message, const std::string& path, TAnswerReceiver& answer);
  // Status, cipher flag, sequence and the next key; returns the status.
  uint8_t ReadAnswerHeader(IMessage& message, const std::string& key);

  IHTTPPtr FClient;
  std::mutex FLock;
  std::string FHost;
  std::string FPath;
  std::string FSessionId;
  std::string FSessionKey;
  uint8_t FSequence = 0;
};
