#include "net/KaMessage.h"

#include "base/KaExceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty())
      out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string Bytes(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 3)
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

// A message whose ReadStream holds the given bytes, positioned at 0.
IMessagePtr Answer(const std::string& bytes) {
  IMessagePtr m = CreateMessage();
  m->GetReadStream().WriteString(bytes);
  m->GetReadStream().SetPosition(0);
  return m;
}

template <class F> std::string Written(F write) {
  IMessagePtr m = CreateMessage();
  write(*m);
  return Hex(m->GetWriteStream().Bytes());
}

TEST(Message, EncodesEachKindLittleEndian) {
  EXPECT_EQ(Written([](IMessage& m) { m.WriteString(""); }), "00 00 00 00");
  EXPECT_EQ(Written([](IMessage& m) { m.WriteString("abc"); }), "03 00 00 00 61 62 63");
  EXPECT_EQ(Written([](IMessage& m) { m.WriteInteger(-2); }), "FE FF FF FF");
  EXPECT_EQ(Written([](IMessage& m) { m.WriteByte(0xA5); }), "A5");
  EXPECT_EQ(Written([](IMessage& m) { m.WriteBoolean(true); }), "01");
  EXPECT_EQ(Written([](IMessage& m) { m.WriteCardinal(0x89ABCDEF); }), "EF CD AB 89");
  EXPECT_EQ(Written([](IMessage& m) { m.WriteInt64(-0x0102030405060708LL); }),
            "F8 F8 F9 FA FB FC FD FE");
  EXPECT_EQ(Written([](IMessage& m) { m.WriteDouble(1.0); }), "00 00 00 00 00 00 F0 3F");
  EXPECT_EQ(Written([](IMessage& m) { m.WriteReal(-2.5); }), "00 00 00 00 00 00 04 C0");
  // 1900-01-01 12:00 is day 2.5 of the epoch.
  EXPECT_EQ(Written([](IMessage& m) { m.WriteDateTime(TDateTime{2 * 86400000LL + 43200000}); }),
            "00 00 00 00 00 00 04 40");
  EXPECT_EQ(Written([](IMessage& m) { m.WriteCurrency(TCurrency{12345}); }),
            "39 30 00 00 00 00 00 00");
  EXPECT_EQ(Written([](IMessage& m) { m.WriteWideString(u"\u00e9\u20ac"); }),
            "05 00 00 00 C3 A9 E2 82 AC");
  EXPECT_EQ(Written([](IMessage& m) {
              m.WriteStrings({"a", "", "bc"});
            }),
            "03 00 00 00 01 00 00 00 61 00 00 00 00 02 00 00 00 62 63");
}

TEST(Message, EncodesExtendedAsEightyBits) {
  auto ext = [](long double v) { return Written([v](IMessage& m) { m.WriteExtended(v); }); };
  EXPECT_EQ(ext(1.0L), "00 00 00 00 00 00 00 80 FF 3F");
  EXPECT_EQ(ext(-2.5L), "00 00 00 00 00 00 00 A0 00 C0");
  EXPECT_EQ(ext(0.0L), "00 00 00 00 00 00 00 00 00 00");
  EXPECT_EQ(ext(-0.0L), "00 00 00 00 00 00 00 00 00 80");
  EXPECT_EQ(ext(0.1L), "CD CC CC CC CC CC CC CC FB 3F");
  EXPECT_EQ(ext(std::numeric_limits<long double>::infinity()), "00 00 00 00 00 00 00 80 FF 7F");
  EXPECT_EQ(ext(-std::numeric_limits<long double>::infinity()), "00 00 00 00 00 00 00 80 FF FF");
  EXPECT_EQ(ext(std::numeric_limits<long double>::quiet_NaN()), "00 00 00 00 00 00 00 C0 FF 7F");
  // The smallest denormal and the largest finite value of the format.
  EXPECT_EQ(ext(std::numeric_limits<long double>::denorm_min()), "01 00 00 00 00 00 00 00 00 00");
  EXPECT_EQ(ext(std::numeric_limits<long double>::max()), "FF FF FF FF FF FF FF FF FE 7F");
}

TEST(Message, ReadsBackWhatWasWritten) {
  IMessagePtr m = CreateMessage();
  const long double extendeds[] = {1.0L, -2.5L, 0.1L, 1e-4940L, 1e4931L, -0.0L};
  m->WriteString(std::string("h\0i", 3));
  m->WriteWideString(u"gr\u00fc\u00df \U0001F600");
  m->WriteByte(255);
  m->WriteInteger(std::numeric_limits<int32_t>::min());
  m->WriteInt64(std::numeric_limits<int64_t>::max());
  m->WriteCardinal(0xFFFFFFFFu);
  m->WriteBoolean(false);
  m->WriteDouble(3.141592653589793);
  m->WriteDateTime(TDateTime{-86400000LL - 21600000});
  m->WriteReal(-1e300);
  for (long double e : extendeds)
    m->WriteExtended(e);
  m->WriteCurrency(TCurrency{-922337203685477580LL});
  m->WriteExtended(std::numeric_limits<long double>::quiet_NaN());
  m->WriteExtended(-std::numeric_limits<long double>::infinity());

  IMessagePtr a = Answer(m->GetWriteStream().Bytes());
  EXPECT_EQ(a->ReadString(), std::string("h\0i", 3));
  EXPECT_EQ(a->ReadWideString(), u"gr\u00fc\u00df \U0001F600");
  EXPECT_EQ(a->ReadByte(), 255);
  EXPECT_EQ(a->ReadInteger(), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(a->ReadInt64(), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(a->ReadCardinal(), 0xFFFFFFFFu);
  EXPECT_FALSE(a->ReadBoolean());
  EXPECT_EQ(a->ReadDouble(), 3.141592653589793);
  EXPECT_EQ(a->ReadDateTime(), (TDateTime{-86400000LL - 21600000}));
  EXPECT_EQ(a->ReadReal(), -1e300);
  for (long double e : extendeds) {
    long double r = a->ReadExtended();
    EXPECT_EQ(r, e);
    EXPECT_EQ(std::signbit(r), std::signbit(e));
  }
  EXPECT_EQ(a->ReadCurrency(), TCurrency{-922337203685477580LL});
  EXPECT_TRUE(std::isnan(a->ReadExtended()));
  EXPECT_EQ(a->ReadExtended(), -std::numeric_limits<long double>::infinity());
  EXPECT_EQ(a->GetReadStream().GetPosition(), a->GetReadStream().GetSize());
  // Reading left the outgoing bytes alone, and the reverse.
  EXPECT_EQ(a->GetWriteStream().GetSize(), 0);
  EXPECT_EQ(m->GetReadStream().GetSize(), 0);
}

TEST(Message, BooleanIsTheStoredByte) {
  IMessagePtr a = Answer(Bytes("02 00"));
  EXPECT_TRUE(a->ReadBoolean());
  EXPECT_FALSE(a->ReadBoolean());
}

void ExpectBufferEmpty(IMessage& m, void (*read)(IMessage&), int64_t positionAfter) {
  try {
    read(m);
    ADD_FAILURE() << "the read did not fail";
  } catch (const EMessage& e) {
    EXPECT_EQ(e.Message(), "$(Buffer is empty)!");
  }
  EXPECT_EQ(m.GetReadStream().GetPosition(), positionAfter);
}

TEST(Message, ShortFixedReadsFailAndConsumeNothing) {
  IMessagePtr empty = Answer("");
  ExpectBufferEmpty(
      *empty, [](IMessage& m) { m.ReadByte(); }, 0);

  struct Case {
    void (*read)(IMessage&);
    int size;
  };
  const Case cases[] = {
      {[](IMessage& m) { m.ReadByte(); }, 1},
      {[](IMessage& m) { m.ReadBoolean(); }, 1},
      {[](IMessage& m) { m.ReadInteger(); }, 4},
      {[](IMessage& m) { m.ReadCardinal(); }, 4},
      {[](IMessage& m) { m.ReadInt64(); }, 8},
      {[](IMessage& m) { m.ReadDouble(); }, 8},
      {[](IMessage& m) { m.ReadDateTime(); }, 8},
      {[](IMessage& m) { m.ReadReal(); }, 8},
      {[](IMessage& m) { m.ReadCurrency(); }, 8},
      {[](IMessage& m) { m.ReadExtended(); }, 10},
      {[](IMessage& m) { m.ReadString(); }, 4},
      {[](IMessage& m) {
         std::vector<std::string> list;
         m.ReadStrings(list);
       },
       4},
  };
  for (const Case& c : cases) {
    // One byte already consumed, one byte too few behind it.
    IMessagePtr m = Answer(std::string(static_cast<size_t>(c.size), '\x01'));
    m->ReadByte();
    ExpectBufferEmpty(*m, c.read, 1);
    // With enough bytes the same read succeeds.
    IMessagePtr ok = Answer(std::string(static_cast<size_t>(c.size), '\0'));
    EXPECT_NO_THROW(c.read(*ok));
  }
}

TEST(Message, StringsCheckTheirLengthBeforeTakingBytes) {
  // Length 10 with 5 bytes behind it: the length is consumed, the bytes not.
  IMessagePtr m = Answer(Bytes("0A 00 00 00 31 32 33 34 35"));
  ExpectBufferEmpty(
      *m, [](IMessage& m) { m.ReadString(); }, 4);
  EXPECT_EQ(m->GetReadStream().ReadRest(), "12345");

  // A length of 2^31-1 is refused before anything is allocated for it.
  IMessagePtr huge = Answer(Bytes("FF FF FF 7F 31 32 33 34 35"));
  ExpectBufferEmpty(
      *huge, [](IMessage& m) { m.ReadString(); }, 4);

  // A negative length yields an empty string and takes only its own 4 bytes.
  IMessagePtr negative = Answer(Bytes("FE FF FF FF 41"));
  EXPECT_EQ(negative->ReadString(), "");
  EXPECT_EQ(negative->GetReadStream().GetPosition(), 4);

  IMessagePtr wide = Answer(Bytes("03 00 00 00 C3 A9"));
  ExpectBufferEmpty(
      *wide, [](IMessage& m) { m.ReadWideString(); }, 4);
}

TEST(Message, ReadStringsAppends) {
  IMessagePtr m = CreateMessage();
  m->WriteStrings({"x", "yz"});
  m->WriteInteger(0);
  m->WriteInteger(-3);
  IMessagePtr a = Answer(m->GetWriteStream().Bytes());
  std::vector<std::string> list{"kept"};
  a->ReadStrings(list);
  EXPECT_EQ(list, (std::vector<std::string>{"kept", "x", "yz"}));
  a->ReadStrings(list);
  a->ReadStrings(list);
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(a->GetReadStream().GetPosition(), a->GetReadStream().GetSize());
}

TEST(Message, ADateTimeThatNamesNoDateIsRefusedAfterItsBytes) {
  IMessagePtr m = CreateMessage();
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 1e300})
    m->WriteDouble(bad);
  IMessagePtr a = Answer(m->GetWriteStream().Bytes());
  for (int64_t end : {8, 16, 24}) {
    EXPECT_THROW(a->ReadDateTime(), EConvertError);
    EXPECT_EQ(a->GetReadStream().GetPosition(), end) << "the value is read, then refused";
  }
}

} // namespace
