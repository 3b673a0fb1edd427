#include "net/KaConnection.h"

#include "net/KaCipher.h"
#include "net/KaWork.h"
#include "net/testing/KaNetTesting.h"

#include <gtest/gtest.h>

namespace {

const std::string Dashes(32, '-');
const std::string SessionA = "0123456789abcdef0123456789abcdef";
const std::string SessionB = "fedcba9876543210fedcba9876543210";

// A request as it should go out, plain: header, command, arguments.
std::string Request(const std::string& id, uint8_t sequence, const std::string& command,
                    const std::string& arguments = std::string()) {
  return WireString(id) + static_cast<char>(sequence) + WireString(command) + arguments;
}

// The same request ciphered behind its 37 header bytes.
std::string Ciphered(const std::string& plain, const std::string& key) {
  TMemoryStream s(plain);
  Cipher(s, key, 37);
  return s.Bytes();
}

// A plain success answer with no results.
std::string Ok(const std::string& nextKey = std::string(), const std::string& rest = {}) {
  return AnswerBody(0, 0, 0, nextKey, rest);
}

template <class E> std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const E& e) {
    return e.Message();
  }
  return "(nothing raised)";
}

class ConnectionTest : public testing::Test {
protected:
  ConnectionTest() {
    Settings.Write("lib", THTTPScript::LibName);
    Script.Reset();
    Connection->SetHost("server.example:8080");
    Connection->SetPath("/cgi-bin/RUzodi");
  }

  void Answer(const std::string& body, int32_t status = 200) {
    Script.Answers.push_back({status, body, std::nullopt});
  }
  void Fail(const std::string& text) { Script.Answers.push_back({200, "", text}); }

  // Calls "test:echo" with one integer argument.
  IMessagePtr Echo(int32_t argument = 7, const std::string& path = std::string()) {
    IMessagePtr m = Connection->NewMessage("test:echo");
    m->WriteInteger(argument);
    Connection->Call(m, path);
    return m;
  }
  static std::string EchoRequest(const std::string& id, uint8_t sequence, int32_t argument = 7) {
    return Request(id, sequence, "test:echo", std::string(reinterpret_cast<char*>(&argument), 4));
  }

  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    for (const TScriptedPost& p : Script.Posts)
      out.push_back(p.Body);
    return out;
  }

  TInternetSettingsScope Settings;
  THTTPScript& Script = HTTPScript();
  std::shared_ptr<TConnection> Connection = std::make_shared<TConnection>();
};

using Bodies = std::vector<std::string>;

TEST_F(ConnectionTest, FirstCallOpensTheSessionWithHello) {
  Answer(Ok());
  Answer(Ok("", WireString("result")));
  IMessagePtr m = Echo();
  EXPECT_EQ(m->ReadString(), "result");
  EXPECT_TRUE(Connection->GetActive());
  EXPECT_EQ(Script.Created, 1);
  EXPECT_EQ(Sent(), (Bodies{Request(Dashes, 0, "hi!"), EchoRequest(Dashes, 0)}));
  for (const TScriptedPost& p : Script.Posts) {
    EXPECT_EQ(p.Url, "http://server.example:8080/cgi-bin/RUzodi");
    EXPECT_EQ(p.ContentType, "application/octet-stream");
  }
  EXPECT_EQ(m->GetCommand(), "test:echo");
}

TEST_F(ConnectionTest, NewSessionIdentifierIsUsedFromTheResendOn) {
  Answer(AnswerBody(2, 0, 0, "", WireString(SessionA)));
  Answer(Ok());
  Answer(Ok());
  Answer(AnswerBody(2, 0, 0, "", WireString(SessionB)));
  Answer(Ok());
  Echo();
  Echo();
  EXPECT_EQ(Sent(),
            (Bodies{Request(Dashes, 0, "hi!"), Request(SessionA, 0, "hi!"),
                    EchoRequest(SessionA, 0), EchoRequest(SessionA, 0), EchoRequest(SessionB, 0)}));
}

TEST_F(ConnectionTest, IdentifierOfAnotherLengthIsNotSent) {
  Answer(AnswerBody(2, 0, 0, "", WireString(SessionA.substr(1))));
  Answer(Ok());
  Answer(Ok());
  Echo();
  EXPECT_EQ(Sent(),
            (Bodies{Request(Dashes, 0, "hi!"), Request(Dashes, 0, "hi!"), EchoRequest(Dashes, 0)}));
}

TEST_F(ConnectionTest, CipheredAnswersCountModulo256) {
  Answer(Ok("k0"));
  const int calls = 300;
  for (int i = 1; i <= calls; ++i)
    Answer(AnswerBody(0, 1, static_cast<uint8_t>(i), "k" + std::to_string(i), WireString("r"),
                      "k" + std::to_string(i - 1)));
  for (int i = 1; i <= calls; ++i) {
    IMessagePtr m = Echo(i);
    ASSERT_EQ(m->ReadString(), "r") << "call " << i;
    // Each request went out with the key of the answer before and the count
    // of ciphered answers so far.
    ASSERT_EQ(
        Script.Posts.back().Body,
        Ciphered(EchoRequest(Dashes, static_cast<uint8_t>(i - 1), i), "k" + std::to_string(i - 1)))
        << "call " << i;
  }
}

TEST_F(ConnectionTest, PlainAnswersNeitherCountNorCheck) {
  Answer(Ok());
  Answer(AnswerBody(0, 0, 99, ""));
  Answer(AnswerBody(0, 0, 42, "key"));
  Answer(AnswerBody(0, 1, 1, "", {}, "key"));
  Answer(Ok());
  Echo();
  Echo();
  Echo();
  Echo();
  EXPECT_EQ(Sent(),
            (Bodies{Request(Dashes, 0, "hi!"), EchoRequest(Dashes, 0), EchoRequest(Dashes, 0),
                    Ciphered(EchoRequest(Dashes, 0), "key"), EchoRequest(Dashes, 1)}));
}

TEST_F(ConnectionTest, OneByteKeyXorsEveryByteBehindTheHeader) {
  Answer(Ok("\x5A"));
  Answer(Ok());
  Echo(0x01020304);
  const std::string plain = EchoRequest(Dashes, 0, 0x01020304);
  const std::string sent = Script.Posts.back().Body;
  ASSERT_EQ(sent.size(), plain.size());
  EXPECT_EQ(sent.substr(0, 37), plain.substr(0, 37));
  for (size_t i = 37; i < plain.size(); ++i)
    EXPECT_EQ(static_cast<uint8_t>(sent[i]), static_cast<uint8_t>(plain[i] ^ 0x5A)) << i;
}

TEST_F(ConnectionTest, SequenceMismatchDropsTheSession) {
  Answer(AnswerBody(2, 0, 0, "key", WireString(SessionA)));
  Answer(Ok("key"));
  Answer(AnswerBody(0, 1, 2, "", {}, "key"));
  EXPECT_EQ(MessageOf<EConnection>([&] { Echo(); }), "$(Connection is Out-of-Sync)!");
  EXPECT_FALSE(Connection->GetActive());

  // A new client and a new session, from scratch.
  Answer(Ok());
  Answer(Ok());
  Echo();
  EXPECT_EQ(Script.Created, 2);
  EXPECT_EQ(Sent(), (Bodies{Request(Dashes, 0, "hi!"), Ciphered(Request(SessionA, 0, "hi!"), "key"),
                            Ciphered(EchoRequest(SessionA, 0), "key"), Request(Dashes, 0, "hi!"),
                            EchoRequest(Dashes, 0)}));
}

TEST_F(ConnectionTest, CipheredAnswerWithoutKeyIsAnInvalidCipher) {
  Answer(AnswerBody(0, 1, 1, ""));
  EXPECT_EQ(MessageOf<Exception>([&] { Echo(); }), "$(Invalid cipher)!");
  EXPECT_FALSE(Connection->GetActive());
  EXPECT_EQ(Script.Posts.size(), 1u);
}

TEST_F(ConnectionTest, ShortAnswerIsBufferEmptyAndDropsTheSession) {
  Answer(AnswerBody(2, 0, 0, "", WireString(SessionA)));
  Answer(Ok());
  Answer(std::string("\x00\x00", 2));
  EXPECT_EQ(MessageOf<EMessage>([&] { Echo(); }), "$(Buffer is empty)!");
  EXPECT_FALSE(Connection->GetActive());
  // A key that announces more bytes than follow fails the same way.
  Answer(Ok());
  Answer(std::string("\x00\x00\x00\x05\x00\x00\x00", 7) + "ab");
  EXPECT_EQ(MessageOf<EMessage>([&] { Echo(); }), "$(Buffer is empty)!");
  EXPECT_FALSE(Connection->GetActive());
  EXPECT_EQ(Script.Posts.back().Body, EchoRequest(Dashes, 0));
}

TEST_F(ConnectionTest, ServerErrorsAndHTTPFailuresKeepTheSession) {
  Answer(AnswerBody(2, 0, 0, "key", WireString(SessionA)));
  Answer(Ok("key"));
  Answer(AnswerBody(1, 1, 1, "key", WireString("Unknown file 12"), "key"));
  EXPECT_EQ(MessageOf<ERemoteException>([&] { Echo(); }), "Unknown file 12");
  EXPECT_TRUE(Connection->GetActive());

  Answer("ignored", 500);
  EXPECT_EQ(MessageOf<EConnection>([&] { Echo(); }), "$(Connection Error) Code: 500!");
  EXPECT_TRUE(Connection->GetActive());

  Fail("Socket Error # 10061\nConnection refused.");
  EXPECT_EQ(MessageOf<EConnection>([&] { Echo(); }),
            "Exception \"EHTTP\" : Socket Error # 10061\nConnection refused.");
  EXPECT_TRUE(Connection->GetActive());

  Answer(AnswerBody(0, 1, 2, "", {}, "key"));
  Echo();
  // No new "hi!": every call went out in the same session, one try each.
  EXPECT_EQ(Script.Created, 1);
  EXPECT_EQ(Sent(), (Bodies{Request(Dashes, 0, "hi!"), Ciphered(Request(SessionA, 0, "hi!"), "key"),
                            Ciphered(EchoRequest(SessionA, 0), "key"),
                            Ciphered(EchoRequest(SessionA, 1), "key"),
                            Ciphered(EchoRequest(SessionA, 1), "key"),
                            Ciphered(EchoRequest(SessionA, 1), "key")}));
}

TEST_F(ConnectionTest, AnAnswerBeyondTheMessagesLimitIsRefusedAndEndsTheSession) {
  Answer(AnswerBody(2, 0, 0, "key", WireString(SessionA)));
  Answer(Ok("key"));
  Answer(Ok("", WireString(std::string(200, 'x'))));
  IMessagePtr m = Connection->NewMessage("test:echo");
  EXPECT_EQ(m->GetAnswerLimit(), DefaultAnswerLimit);
  m->SetAnswerLimit(100);
  EXPECT_EQ(MessageOf<EConnection>([&] { Connection->Call(m); }),
            "The server's answer is larger than the 100 bytes expected for this request");
  EXPECT_EQ(m->GetReadStream().GetSize(), 0) << "nothing of it is kept";
  EXPECT_FALSE(Connection->GetActive()) << "the server went on in its sequence; we start afresh";

  // Up to the limit an answer is read as usual, in a new session.
  Answer(Ok());
  Answer(Ok("", WireString(std::string(80, 'y'))));
  IMessagePtr n = Connection->NewMessage("test:echo");
  n->SetAnswerLimit(3 + 4 + 4 + 80);
  Connection->Call(n);
  EXPECT_EQ(n->ReadString(), std::string(80, 'y'));
  EXPECT_EQ(Sent().back(), Request(Dashes, 0, "test:echo"));
}

TEST_F(ConnectionTest, FailedHelloLeavesTheConnectionInactive) {
  Answer("", 503);
  EXPECT_EQ(MessageOf<EConnection>([&] { Echo(); }), "$(Connection Error) Code: 503!");
  EXPECT_FALSE(Connection->GetActive());
  Answer(Ok());
  Answer(Ok());
  Echo();
  EXPECT_EQ(Sent(),
            (Bodies{Request(Dashes, 0, "hi!"), Request(Dashes, 0, "hi!"), EchoRequest(Dashes, 0)}));
}

TEST_F(ConnectionTest, PathArgumentReplacesThePath) {
  Answer(Ok());
  Answer(Ok());
  Echo(7, "/other/place");
  EXPECT_EQ(Script.Posts[0].Url, "http://server.example:8080/cgi-bin/RUzodi");
  EXPECT_EQ(Script.Posts[1].Url, "http://server.example:8080/other/place");
}

TEST_F(ConnectionTest, SendAgainUsesTheNewKeyOnTheSameRequest) {
  Answer(Ok("k1"));
  Answer(AnswerBody(3, 1, 1, "k2", {}, "k1"));
  Answer(AnswerBody(3, 0, 0, ""));
  Answer(Ok());
  Echo();
  EXPECT_EQ(Sent(), (Bodies{Request(Dashes, 0, "hi!"), Ciphered(EchoRequest(Dashes, 0), "k1"),
                            Ciphered(EchoRequest(Dashes, 1), "k2"), EchoRequest(Dashes, 1)}));
}

TEST_F(ConnectionTest, ResendsAreBounded) {
  Answer(Ok("key"));
  for (int i = 0; i < 20; ++i)
    Answer(i % 2 ? AnswerBody(3, 0, 0, "key") : AnswerBody(2, 0, 0, "key", WireString(SessionA)));
  IMessagePtr m = Connection->NewMessage("test:echo");
  const std::string built = m->GetWriteStream().Bytes();
  EXPECT_EQ(MessageOf<EConnection>([&] { Connection->Call(m); }),
            "$(The server keeps asking to send the request again)!");
  EXPECT_EQ(Script.Posts.size(), 1u + 1u + TConnection::MaxResends);
  EXPECT_TRUE(Connection->GetActive());
  // The message is left plain, as it was built but for its header.
  EXPECT_EQ(m->GetWriteStream().Bytes().substr(37), built.substr(37));
}

TEST_F(ConnectionTest, FailedCallLeavesTheRequestPlainForAnotherTry) {
  Answer(Ok("key"));
  Fail("timed out");
  IMessagePtr m = Connection->NewMessage("test:echo");
  m->WriteInteger(7);
  EXPECT_THROW(Connection->Call(m), EConnection);
  Answer(Ok());
  Connection->Call(m);
  EXPECT_EQ(Script.Posts[1].Body, Script.Posts[2].Body);
  EXPECT_EQ(Script.Posts[2].Body, Ciphered(EchoRequest(Dashes, 0), "key"));
}

TEST_F(ConnectionTest, EndingTheSessionSendsNothing) {
  Answer(Ok());
  Answer(Ok());
  Echo();
  Connection->SetActive(false);
  EXPECT_FALSE(Connection->GetActive());
  Connection.reset();
  EXPECT_EQ(Script.Posts.size(), 2u);
}

class TCallCounter : public IWorkObserver {
public:
  int Started = 0, Finished = 0;
  void WorkStarted() override { ++Started; }
  void WorkFinished() override { ++Finished; }
  void WorkChanged(const IWorkLevel&) override {}
};

TEST_F(ConnectionTest, OpeningAndEachCallAreProgressLevels) {
  TCallCounter counter;
  Work().AddObserver(&counter);
  Answer(Ok());
  Answer(Ok());
  Answer("", 404);
  Echo();
  EXPECT_THROW(Echo(), EConnection);
  Work().RemoveObserver(&counter);
  EXPECT_EQ(counter.Started, 3);
  EXPECT_EQ(counter.Finished, 3);
}

} // namespace

namespace {

// Collects the pieces of a result; refuses a piece that holds "!".
class TCollect : public TByteSink {
public:
  void Write(const void* data, size_t size) override {
    std::string piece(static_cast<const char*>(data), size);
    if (piece.find('!') != std::string::npos)
      throw ERemoteException("refused by the sink");
    Bytes += piece;
  }
  std::string Bytes;
};

} // namespace

TEST_F(ConnectionTest, AResultSinkGetsTheFirstStringInPiecesAndTheSessionGoesOn) {
  Script.PieceSize = 5;
  Answer(AnswerBody(2, 0, 0, "k1", WireString(SessionA)));
  Answer(Ok("k1"));
  const std::string content(1000, 'x');
  Answer(AnswerBody(0, 1, 1, "k2", WireString(content) + WireString("more"), "k1"));
  IMessagePtr m = Connection->NewMessage("test:echo");
  TCollect collect;
  m->SetResultSink(&collect);
  Connection->Call(m);
  EXPECT_EQ(collect.Bytes, content);
  EXPECT_EQ(m->ReadString(), "more") << "what follows the result is read as usual";

  // A refusal reaches the caller as the sink raised it, after the header
  // was taken: the next call goes out ciphered in step.
  Answer(AnswerBody(0, 1, 2, "k3", WireString("abc!def"), "k2"));
  Answer(AnswerBody(0, 1, 3, "k4", WireString("fine"), "k3"));
  TCollect refusing;
  IMessagePtr n = Connection->NewMessage("test:echo");
  n->SetResultSink(&refusing);
  EXPECT_EQ(MessageOf<ERemoteException>([&] { Connection->Call(n); }), "refused by the sink");
  EXPECT_TRUE(Connection->GetActive());
  EXPECT_EQ(Echo()->ReadString(), "fine");
  EXPECT_EQ(Sent().back(), Ciphered(EchoRequest(SessionA, 2), "k3"));

  // A result cut short is a short answer, with the session kept.
  Answer(Ok("", WireString("0123456789").substr(0, 9)));
  IMessagePtr cut = Connection->NewMessage("test:echo");
  TCollect part;
  cut->SetResultSink(&part);
  EXPECT_EQ(MessageOf<EMessage>([&] { Connection->Call(cut); }), "$(Buffer is empty)!");
  EXPECT_TRUE(Connection->GetActive());

  // An error page is an error status, whatever the sink made of its body.
  Answer(AnswerBody(0, 0, 0, "", WireString("error page!")), 500);
  IMessagePtr page = Connection->NewMessage("test:echo");
  TCollect pageSink;
  page->SetResultSink(&pageSink);
  EXPECT_EQ(MessageOf<EConnection>([&] { Connection->Call(page); }),
            "$(Connection Error) Code: 500!");
}
