#include "net/KaConnection.h"

#include "net/KaAnswerReceiver.h"
#include "net/KaCipher.h"
#include "net/KaProtocol.h"
#include "net/KaWork.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

namespace {

// The name of a standard exception's class, readable ("std::bad_alloc").
std::string ClassNameOf(const std::exception& e) {
  const char* mangled = typeid(e).name();
  int status = 0;
  char* name = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string result = status == 0 && name ? name : mangled;
  std::free(name);
  return result;
}

std::string TransportError(const std::string& className, const std::string& message) {
  return "Exception \"" + className + "\" : " + message;
}

// Ciphers the request behind its header for the time the object lives, so
// that a request leaves every exchange plain, whatever way it leaves, and can
// go out again as it is.
class TCipheredRequest {
public:
  TCipheredRequest(TMemoryStream& stream, std::string key) : FStream(stream), FKey(std::move(key)) {
    if (!FKey.empty())
      Cipher(FStream, FKey, RequestHeaderSize);
  }
  ~TCipheredRequest() {
    if (!FKey.empty())
      Cipher(FStream, FKey, RequestHeaderSize);
  }
  TCipheredRequest(const TCipheredRequest&) = delete;
  TCipheredRequest& operator=(const TCipheredRequest&) = delete;

private:
  TMemoryStream& FStream;
  std::string FKey;
};

} // namespace

TConnection::~TConnection() {
  try {
    SetActive(false);
  } catch (...) {
    // Ending a session locally sends nothing and cannot fail in a way that
    // matters to a connection being freed.
  }
}

IMessagePtr TConnection::NewMessage(const std::string& command) {
  IMessagePtr message = CreateMessage();
  message->SetCommand(command);
  message->WriteString(std::string(SessionIdLength, '-'));
  message->WriteByte(0);
  message->WriteString(command);
  return message;
}

void TConnection::Call(const IMessagePtr& message, const std::string& path) {
  SetActive(true);
  std::lock_guard guard(FLock);
  TWorkGuard work(WorkCall, 0);
  Exchange(*message, path);
}

void TConnection::Activate() {
  try {
    FClient = HTTPFactory().CreateHTTP();
    IMessagePtr hello = NewMessage(HelloCommand);
    std::lock_guard guard(FLock);
    TWorkGuard work(WorkCall, 0);
    Exchange(*hello, std::string());
  } catch (...) {
    // Still inactive: no client and no half-opened session either, so the
    // next call starts from scratch.
    Deactivate();
    throw;
  }
}

void TConnection::Deactivate() {
  FSessionId.clear();
  FSessionKey.clear();
  FSequence = 0;
  FClient.reset();
}

void TConnection::Exchange(IMessage& message, const std::string& path) {
  for (int resends = 0;; ++resends) {
    TOutcome outcome = ExchangeOnce(message, path);
    if (outcome == TOutcome::Done)
      return;
    // A server that keeps asking would otherwise hold the program for good.
    if (resends == MaxResends)
      throw EConnection("$(The server keeps asking to send the request again)!");
    if (outcome == TOutcome::SendAgain)
      BeforeResend();
  }
}

TConnection::TOutcome TConnection::ExchangeOnce(IMessage& message, const std::string& path) {
  // The key the request is ciphered with deciphers its answer, even when the
  // answer hands out the next one.
  const std::string key = FSessionKey;
  message.GetReadStream().Clear();
  message.GetWriteStream().SetPosition(0);
  message.WriteString(FSessionId.size() == SessionIdLength ? FSessionId
                                                           : std::string(SessionIdLength, '-'));
  message.WriteByte(FSequence);

  TCipheredRequest ciphered(message.GetWriteStream(), key);
  TAnswerReceiver answer(message, key);
  Transfer(message, path, answer);
  uint8_t status;
  try {
    status = ReadAnswerHeader(message, key);
  } catch (...) {
    // An answer whose header cannot be read leaves the session unknown.
    SetActive(false);
    throw;
  }
  // The header is taken, so the session goes on in step; what the result
  // sink refused is the caller's to hear, as it raised it.
  if (std::exception_ptr refused = answer.SinkFailure())
    std::rethrow_exception(refused);

  switch (status) {
  case StatusError: throw ERemoteException(message.ReadString());
  case StatusNewSession:
    FSessionId = message.ReadString();
    FSequence = 0;
    return TOutcome::NewSession;
  case StatusSendAgain: return TOutcome::SendAgain;
  default:
    // As reading a string whose bytes did not all come.
    if (!answer.ResultComplete())
      throw EMessage("$(Buffer is empty)!");
    return TOutcome::Done;
  }
}

uint8_t TConnection::ReadAnswerHeader(IMessage& message, const std::string& key) {
  uint8_t status = message.ReadByte();
  uint8_t flag = message.ReadByte();
  uint8_t sequence = message.ReadByte();
  if (flag != 0) {
    ++FSequence;
    if (sequence != FSequence)
      throw EConnection("$(Connection is Out-of-Sync)!");
    // The receiver deciphered the answer as it arrived, with this key.
    if (key.empty())
      throw Exception("$(Invalid cipher)!");
  }
  FSessionKey = message.ReadString();
  return status;
}

// Transport failures are not tried again: a lost answer to a POST that the
// server did carry out cannot be told from a request that never arrived, and
// with no way to cancel, a dead server would keep the user waiting for every
// time-out in turn. The back ends repeat what is safe to repeat themselves.
void TConnection::Transfer(IMessage& message, const std::string& path, TAnswerReceiver& answer) {
  FClient->GetRequest().SetContentType("application/octet-stream");
  TMemoryStream& source = message.GetWriteStream();
  source.SetPosition(0);
  const std::string url = "http://" + FHost + (path.empty() ? FPath : path);
  TLimitedStream limited(answer, message.GetAnswerLimit());
  std::string failure;
  try {
    FClient->Post(url, source, limited);
  } catch (const Exception& e) {
    failure = TransportError(e.ClassName(), e.Message());
  } catch (const std::exception& e) {
    failure = TransportError(ClassNameOf(e), e.what());
  }
  // Whatever the back end made of the refusal (libcurl reports its own
  // write error), the reason is the bound. The server has carried out the
  // request and moved on in its sequence; the next call starts a fresh
  // session.
  if (limited.Overflowed()) {
    SetActive(false);
    throw EConnection(limited.TooLargeText());
  }
  // A body that is no answer (an error page) may have reached the receiver
  // all the same: the status comes first. A refusal of the result sink is no
  // transport failure, whatever the back end made of it (libcurl reports
  // its own write error).
  if (!failure.empty() && !answer.SinkFailure())
    throw EConnection(failure);
  const int32_t status = FClient->GetResponse().GetStatusCode();
  if (status != 200)
    throw EConnection("$(Connection Error) Code: " + std::to_string(status) + "!");
  message.GetReadStream().SetPosition(0);
}
