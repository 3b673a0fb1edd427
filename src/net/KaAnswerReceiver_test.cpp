#include "net/KaAnswerReceiver.h"

#include "base/KaExceptions.h"
#include "net/KaCipher.h"
#include "net/testing/KaNetTesting.h"

#include <gtest/gtest.h>

namespace {

// Keeps the pieces it gets; refuses once it holds more than Refuse bytes.
class TPieces : public TByteSink {
public:
  void Write(const void* data, size_t size) override {
    if (Refuse >= 0 && static_cast<int64_t>(Bytes.size() + size) > Refuse)
      throw Exception("refused");
    Bytes.append(static_cast<const char*>(data), size);
    ++Count;
  }
  std::string Bytes;
  int Count = 0;
  int64_t Refuse = -1;
};

struct TReceived {
  std::string Stored;
  std::string Sunk;
  bool Complete;
};

// The answer written in pieces of `piece` bytes into a receiver.
TReceived Receive(const std::string& answer, size_t piece, const std::string& key, bool sink) {
  IMessagePtr m = CreateMessage();
  TPieces pieces;
  if (sink)
    m->SetResultSink(&pieces);
  TAnswerReceiver r(*m, key);
  for (size_t at = 0; at < answer.size(); at += piece) {
    const size_t n = std::min(piece, answer.size() - at);
    EXPECT_EQ(r.Write(answer.data() + at, static_cast<int64_t>(n)), static_cast<int64_t>(n));
  }
  EXPECT_EQ(r.GetPosition(), static_cast<int64_t>(answer.size()));
  return {m->GetReadStream().Bytes(), pieces.Bytes, r.ResultComplete()};
}

const std::string Key = "0123456789abcdefX"; // 17 bytes: pieces fall across it anyhow

} // namespace

TEST(AnswerReceiver, AnyPiecesGiveTheWholeAnswerDeciphered) {
  const std::string content(5000, 'c');
  const std::string rest = WireString(content) + WireString("after");
  const std::string plain = AnswerBody(0, 1, 4, "next key", rest);
  const std::string ciphered = AnswerBody(0, 1, 4, "next key", rest, Key);
  for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{16}, size_t{17},
                       size_t{4096}, ciphered.size()}) {
    TReceived held = Receive(ciphered, piece, Key, false);
    EXPECT_EQ(held.Stored, plain) << "piece " << piece;
    EXPECT_TRUE(held.Complete);

    TReceived streamed = Receive(ciphered, piece, Key, true);
    EXPECT_EQ(streamed.Sunk, content) << "piece " << piece;
    EXPECT_EQ(streamed.Stored, AnswerBody(0, 1, 4, "next key", WireString("after")))
        << "the header and what follows the result, never the result";
    EXPECT_TRUE(streamed.Complete);
  }
  // Unciphered answers pass as they are, whatever key the request had.
  EXPECT_EQ(Receive(AnswerBody(0, 0, 9, "k", rest), 5, Key, true).Sunk, content);
}

TEST(AnswerReceiver, OnlyASuccessfulAnswersFirstStringGoesToTheSink) {
  for (uint8_t status : {1, 2, 3}) {
    const std::string answer = AnswerBody(status, 1, 1, "k", WireString("text"), Key);
    TReceived r = Receive(answer, 3, Key, true);
    EXPECT_EQ(r.Sunk, "") << int(status);
    EXPECT_EQ(r.Stored, AnswerBody(status, 1, 1, "k", WireString("text")));
    EXPECT_TRUE(r.Complete);
  }
  // A negative length is an empty string, as reading it gives.
  TReceived negative = Receive(AnswerBody(0, 0, 0, "",
                                          "\xff\xff\xff\xff"
                                          "tail"),
                               2, "", true);
  EXPECT_EQ(negative.Sunk, "");
  EXPECT_EQ(negative.Stored, AnswerBody(0, 0, 0, "", "tail"));
  EXPECT_TRUE(negative.Complete);
}

TEST(AnswerReceiver, AnAnswerCutShortLeavesTheResultIncomplete) {
  const std::string whole = AnswerBody(0, 0, 0, "key", WireString("0123456789"));
  EXPECT_TRUE(Receive(whole, 4, "", true).Complete);
  EXPECT_FALSE(Receive(whole.substr(0, whole.size() - 1), 4, "", true).Complete);
  EXPECT_FALSE(Receive(AnswerBody(0, 0, 0, "key", std::string("\x0a\0", 2)), 4, "", true).Complete)
      << "cut inside the length";
  EXPECT_FALSE(Receive(AnswerBody(0, 0, 0, "key"), 4, "", true).Complete) << "no length at all";
}

TEST(AnswerReceiver, WhatCannotBeReadIsNotHeld) {
  // Ciphered while the request had no key: the first bytes tell reading the
  // header that it cannot be deciphered; the rest is dropped.
  const std::string ciphered = AnswerBody(0, 1, 1, "k", WireString(std::string(100000, 'x')), Key);
  EXPECT_EQ(Receive(ciphered, 999, "", true).Stored, ciphered.substr(0, 3));
  EXPECT_EQ(Receive(ciphered, 999, "", false).Stored, ciphered.substr(0, 3));

  // A key that claims a gigabyte is not collected.
  std::string claim = AnswerBody(0, 0, 0, "");
  claim.replace(3, 4, "\x00\x00\x00\x40", 4);
  claim += std::string(3 << 20, 'k');
  TReceived r = Receive(claim, 65536, "", true);
  EXPECT_EQ(r.Stored, claim.substr(0, 7));
  EXPECT_EQ(r.Sunk, "");
}

TEST(AnswerReceiver, ARefusalOfTheSinkIsRaisedAndKept) {
  const std::string answer = AnswerBody(0, 0, 0, "", WireString(std::string(10000, 'r')));
  IMessagePtr m = CreateMessage();
  TPieces pieces;
  pieces.Refuse = 5000;
  m->SetResultSink(&pieces);
  TAnswerReceiver r(*m, "");
  EXPECT_NO_THROW(r.Write(answer.data(), 4000));
  EXPECT_FALSE(r.SinkFailure());
  EXPECT_THROW(r.Write(answer.data() + 4000, 4000), Exception);
  ASSERT_TRUE(r.SinkFailure());
  EXPECT_THROW(std::rethrow_exception(r.SinkFailure()), Exception);

  // It cannot be rewound: an answer is heard once.
  EXPECT_THROW(r.SetPosition(0), Exception);
  EXPECT_THROW(r.SetSize(0), Exception);
}
