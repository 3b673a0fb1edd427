#include "server/UpdateService.h"

#include "net/KaCipher.h"
#include "server/testing/ServerTesting.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr int64_t Start = 1800000000;
const std::string Secret(32, 'k');

class UpdateServiceTest : public testing::Test {
protected:
  UpdateServiceTest()
      : Store(Temp.Dir()), Sessions(Secret, 3600), Service(Store, Sessions, [this] { return Now; }),
        Client([this](const std::string& body) { return Send(body); }) {}

  // The whole answer body as the HTTP layer would send it.
  std::string Send(const std::string& body) {
    TAnswer answer = Service.Handle(body);
    std::string out = answer.Head->GetWriteStream().Bytes();
    TMemoryStream chunk;
    while (TUpdateService::NextChunk(answer, chunk))
      out += chunk.Bytes();
    return out;
  }

  TTempStore Temp;
  TReleaseStore Store;
  TSessionScheme Sessions;
  TUpdateService Service;
  int64_t Now = Start;
  TRawSession Client;
};

TEST_F(UpdateServiceTest, UnknownSessionGetsAPlainNewSessionAnswer) {
  TParsedAnswer a = ParseAnswer(Send(BuildRequest(std::string(32, '-'), 0, "", "hi!")), "");
  EXPECT_EQ(a.Status, 2);
  EXPECT_FALSE(a.Ciphered);
  std::string id = a.Message->ReadString();
  EXPECT_TRUE(Sessions.IsValid(id, Now));
  EXPECT_EQ(a.NextKey, Sessions.Key(id, 0));
}

TEST_F(UpdateServiceTest, SequenceAndKeysAdvanceWithEveryCipheredAnswer) {
  std::string id = Sessions.NewId(Now);
  for (int s : {0, 1, 254, 255}) {
    std::string key = Sessions.Key(id, static_cast<uint8_t>(s));
    TParsedAnswer a = ParseAnswer(Send(BuildRequest(id, static_cast<uint8_t>(s), key, "hi!")), key);
    EXPECT_EQ(a.Status, 0) << s;
    EXPECT_TRUE(a.Ciphered);
    EXPECT_EQ(a.Sequence, static_cast<uint8_t>(s + 1)) << "255 must wrap to 0";
    EXPECT_EQ(a.NextKey, Sessions.Key(id, static_cast<uint8_t>(s + 1)));
  }
}

TEST_F(UpdateServiceTest, ExpiredForgedAndUndecipherableRequestsStartANewSession) {
  std::string id = Sessions.NewId(Now);
  Now += 3601;
  EXPECT_EQ(ParseAnswer(Send(BuildRequest(id, 0, Sessions.Key(id, 0), "hi!")), "").Status, 2);
  Now = Start;
  std::string forged = id;
  forged[0] = forged[0] == 'a' ? 'b' : 'a';
  EXPECT_EQ(ParseAnswer(Send(BuildRequest(forged, 0, "", "hi!")), "").Status, 2);
  // A valid identifier with a request ciphered under another sequence's key.
  TParsedAnswer a = ParseAnswer(Send(BuildRequest(id, 3, Sessions.Key(id, 4), "hi!")), "");
  EXPECT_EQ(a.Status, 2);
  EXPECT_FALSE(a.Ciphered);
}

TEST_F(UpdateServiceTest, UnknownReadableCommandIsAnErrorNotANewSession) {
  TParsedAnswer a = Client.Call("admin:launchRockets");
  EXPECT_EQ(a.Status, 1);
  EXPECT_EQ(a.Message->ReadString(), "Unknown command admin:launchRockets");
}

TEST_F(UpdateServiceTest, ProductInfoFollowsTheCurrentRelease) {
  TParsedAnswer none = Client.Call(TUpdateService::GetProductInfo);
  EXPECT_EQ(none.Status, 1);
  EXPECT_EQ(none.Message->ReadString(), "No release has been published");

  Temp.Publish(1, "Caf\xc3\xa9 One", "[installer]\r\nappName=One\r\n");
  TParsedAnswer a = Client.Call(TUpdateService::GetProductInfo);
  ASSERT_EQ(a.Status, 0);
  EXPECT_EQ(a.Message->ReadWideString(), u"Caf\u00e9 One");
  EXPECT_EQ(a.Message->ReadString(), "[installer]\r\nappName=One\r\n");

  Temp.Publish(2, "Two", "[installer]\r\nappName=Two\r\n");
  TParsedAnswer b = Client.Call(TUpdateService::GetProductInfo);
  EXPECT_EQ(b.Message->ReadWideString(), u"Two") << "a new release is served without a restart";
}

TEST_F(UpdateServiceTest, FileAnswersCarryTheWholeBlobAcrossChunks) {
  std::string big;
  for (int i = 0; big.size() < 3 * TUpdateService::ChunkSize + 777; ++i)
    big += static_cast<char>(i * 7 + i / 256);
  Temp.AddBlob(5, big);
  Temp.AddBlob(6, "small");
  Temp.AddBlob(7, "");
  for (auto [id, want] : {std::pair<int, std::string>{5, big}, {6, "small"}, {7, ""}}) {
    TParsedAnswer a =
        Client.Call(TUpdateService::GetFile, [id = id](IMessage& m) { m.WriteInteger(id); });
    ASSERT_EQ(a.Status, 0) << id;
    EXPECT_EQ(a.Message->ReadString(), want) << id;
    EXPECT_EQ(a.Message->GetReadStream().GetPosition(), a.Message->GetReadStream().GetSize());
  }
}

TEST_F(UpdateServiceTest, BadFileRequestsAreErrorsThatKeepTheSession) {
  Temp.AddBlob(1, "x");
  for (int id : {0, -1, 2, 1000000}) {
    TParsedAnswer a =
        Client.Call(TUpdateService::GetFile, [id](IMessage& m) { m.WriteInteger(id); });
    EXPECT_EQ(a.Status, 1);
    EXPECT_EQ(a.Message->ReadString(), "Unknown file identifier " + std::to_string(id));
  }
  TParsedAnswer missing = Client.Call(TUpdateService::GetFile);
  EXPECT_EQ(missing.Status, 1);
  std::string id = Client.Id();
  EXPECT_EQ(Client.Call(TUpdateService::GetFile, [](IMessage& m) { m.WriteInteger(1); }).Status, 0);
  EXPECT_EQ(Client.Id(), id);
}

// The index vouches for every blob's size: a blob that lost bytes on disk,
// grew or went missing must not go out as a good file.
TEST_F(UpdateServiceTest, BlobsThatDisagreeWithTheIndexAreErrorsNotFiles) {
  Temp.AddBlob(3, "abcdef");
  Temp.AddBlob(4, "whole");
  Temp.AddBlob(5, "gone");
  Temp.AddBlob(6, "kept");
  std::filesystem::resize_file(Temp.Dir() + "/blobs/3", 3);
  WriteFileAtomically(Temp.Dir() + "/blobs/4", "whole and then some");
  std::filesystem::remove(Temp.Dir() + "/blobs/5");
  WriteFileAtomically(Temp.Dir() + "/blobs/9", "written, but never indexed");
  for (int id : {3, 4, 5}) {
    TParsedAnswer a =
        Client.Call(TUpdateService::GetFile, [id](IMessage& m) { m.WriteInteger(id); });
    EXPECT_EQ(a.Status, 1) << id;
    EXPECT_EQ(a.Message->ReadString(),
              "File " + std::to_string(id) + " is not available on the server");
  }
  TParsedAnswer orphan =
      Client.Call(TUpdateService::GetFile, [](IMessage& m) { m.WriteInteger(9); });
  EXPECT_EQ(orphan.Status, 1);
  EXPECT_EQ(orphan.Message->ReadString(), "Unknown file identifier 9");
  TParsedAnswer good = Client.Call(TUpdateService::GetFile, [](IMessage& m) { m.WriteInteger(6); });
  ASSERT_EQ(good.Status, 0);
  EXPECT_EQ(good.Message->ReadString(), "kept");
}

// A connection remembers the session it last saw and the key it handed
// out; that must change no answer, whatever its client sends next.
TEST_F(UpdateServiceTest, AConnectionsStateChangesNoAnswer) {
  Temp.AddBlob(1, "one");
  Temp.AddBlob(2, std::string(TUpdateService::ChunkSize + 5, 'z'));
  std::string a = Sessions.NewId(Now), b = Sessions.NewId(Now);
  std::string forged = a;
  forged[31] = forged[31] == '0' ? '1' : '0';
  struct TStep {
    std::string Id;
    int Sequence, KeyOf;
    int32_t File;
    int64_t Later = 0;
  };
  const TStep steps[] = {{a, 0, 0, 1},   {a, 1, 1, 2},   {a, 1, 1, 1},        {a, 2, 2, 9},
                         {a, 9, 9, 1},   {b, 0, 0, 1},   {a, 10, 10, 1},      {forged, 11, 11, 1},
                         {a, 11, 12, 1}, {a, 11, 11, 2}, {a, 12, 12, 1, 3601}};
  TConnectionState state;
  TAnswer answer;
  for (const TStep& step : steps) {
    Now += step.Later;
    std::string body =
        BuildRequest(step.Id, static_cast<uint8_t>(step.Sequence),
                     Sessions.Key(step.Id, static_cast<uint8_t>(step.KeyOf)),
                     TUpdateService::GetFile, [&](IMessage& m) { m.WriteInteger(step.File); });
    std::string alone = Send(body);
    Service.Handle(body, state, answer);
    std::string kept = answer.Head->GetWriteStream().Bytes();
    TMemoryStream chunk;
    while (TUpdateService::NextChunk(answer, chunk))
      kept += chunk.Bytes();
    const std::string where = step.Id.substr(0, 4) + " " + std::to_string(step.Sequence);
    ASSERT_GE(alone.size(), 3u) << where;
    if (alone[0] == StatusNewSession) // a fresh random identifier each time
      EXPECT_EQ(kept.substr(0, 3), alone.substr(0, 3)) << where;
    else
      EXPECT_EQ(kept, alone) << where;
  }
  EXPECT_EQ(ParseAnswer(Send(BuildRequest(forged, 0, "", "hi!")), "").Status, StatusNewSession);
}

TEST_F(UpdateServiceTest, BodiesWithoutAHeaderAreBadRequests) {
  EXPECT_THROW(Service.Handle(""), EBadRequest);
  EXPECT_THROW(Service.Handle(std::string(36, '-')), EBadRequest);
  IMessagePtr m = CreateMessage();
  m->WriteString(std::string(33, '-'));
  m->WriteByte(0);
  EXPECT_THROW(Service.Handle(m->GetWriteStream().Bytes()), EBadRequest);
  std::string huge("\xff\xff\xff\x7f", 4);
  EXPECT_THROW(Service.Handle(huge + std::string(40, 'x')), EBadRequest);
}

} // namespace
