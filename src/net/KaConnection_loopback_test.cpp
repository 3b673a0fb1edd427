#include "net/KaConnection.h"

#include "net/KaCipher.h"
#include "net/indy/KaHTTP_indy.h"
#include "net/testing/KaNetTesting.h"
#include "net/testing/KaTestHTTPServer.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace {

// The server side of a session, as the update server keeps it: an unknown
// identifier gets a new session (status 2, never ciphered); otherwise the
// request is deciphered with the key of its sequence number and the answer
// ciphered with it, handing out the key of the next number. "test:echo"
// answers its string argument reversed.
class TEchoServer {
public:
  TTestReply Answer(const TTestRequest& request) {
    std::lock_guard guard(FLock);
    IMessagePtr in = CreateMessage();
    in->GetReadStream().WriteString(request.Body);
    in->GetReadStream().SetPosition(0);
    const std::string id = in->ReadString();
    const uint8_t sequence = in->ReadByte();
    TTestReply reply;
    reply.ContentType = "application/octet-stream";
    if (id != SessionId) {
      reply.Body = AnswerBody(2, 0, 0, Key(0), WireString(SessionId));
      return reply;
    }
    Cipher(in->GetReadStream(), Key(sequence), 37);
    const std::string command = in->ReadString();
    std::string result;
    if (command == "test:echo") {
      result = in->ReadString();
      std::reverse(result.begin(), result.end());
      result = WireString(result);
    }
    const uint8_t next = static_cast<uint8_t>(sequence + 1);
    reply.Body = AnswerBody(0, 1, next, Key(next), result, Key(sequence));
    Commands.push_back(command);
    return reply;
  }

  const std::string SessionId = "00112233445566778899aabbccddeeff";
  std::vector<std::string> Commands;

private:
  static std::string Key(uint8_t sequence) { return "key:" + std::to_string(sequence * 7919); }
  std::mutex FLock;
};

class ConnectionLoopbackTest : public testing::Test {
protected:
  ConnectionLoopbackTest() {
    static std::once_flag registered;
    std::call_once(registered, [] { HTTPFactory().Register("Indy", HTTPClassOf<TKaHTTP_indy>()); });
    Settings.Write("lib", "Indy");
    Settings.Write("method", "direct");
    Server.On("/cgi-bin/RUzodi", [this](const TTestRequest& r) { return Echo.Answer(r); });
    Connection->SetHost("127.0.0.1:" + std::to_string(Server.Port()));
    Connection->SetPath("/cgi-bin/RUzodi");
  }

  std::string CallEcho(const std::string& text, const std::string& path = std::string()) {
    IMessagePtr m = Connection->NewMessage("test:echo");
    m->WriteString(text);
    Connection->Call(m, path);
    return m->ReadString();
  }

  TInternetSettingsScope Settings;
  TEchoServer Echo;
  TTestHTTPServer Server;
  std::shared_ptr<TConnection> Connection = std::make_shared<TConnection>();
};

TEST_F(ConnectionLoopbackTest, SessionAndCipheredCallsOverARealBackEnd) {
  EXPECT_EQ(CallEcho("hello"), "olleh");
  std::string big(200000, '\0');
  for (size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>(i * 131 + (i >> 9));
  std::string reversed(big.rbegin(), big.rend());
  EXPECT_EQ(CallEcho(big), reversed);

  // "hi!" without a session, again with the new one, then the two calls.
  EXPECT_EQ(Echo.Commands, (std::vector<std::string>{"hi!", "test:echo", "test:echo"}));
  std::vector<TTestRequest> requests = Server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].Body, WireString(std::string(32, '-')) + '\0' + WireString("hi!"));
  for (const TTestRequest& r : requests) {
    EXPECT_EQ(r.Method, "POST");
    EXPECT_EQ(r.Target, "/cgi-bin/RUzodi");
    EXPECT_EQ(r.Header("Content-Type"), "application/octet-stream");
  }
}

TEST_F(ConnectionLoopbackTest, HTTPStatusAndTransportFailuresAreWrapped) {
  EXPECT_EQ(CallEcho("x"), "x");
  EXPECT_THAT(
      [&] { CallEcho("x", "/nowhere"); },
      testing::ThrowsMessage<EConnection>(testing::StrEq("$(Connection Error) Code: 404!")));
  EXPECT_TRUE(Connection->GetActive());

  int closedPort;
  {
    TTestHTTPServer gone;
    closedPort = gone.Port();
  }
  Connection->SetHost("127.0.0.1:" + std::to_string(closedPort));
  EXPECT_THAT([&] { CallEcho("x"); },
              testing::ThrowsMessage<EConnection>(testing::StrEq(
                  "Exception \"EIdSocketError\" : Socket Error # 10061\r\nConnection refused.")));
}

} // namespace
