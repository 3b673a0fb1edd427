// The message reader on arbitrary bytes, and the connection reading whole
// answers (header, status, session, cipher, sequence) through the scripted
// back end.
//
// Input: the first byte chooses the mode. Even: the next byte's low five bits
// say how many of the following bytes are a program of reads (one Read...
// per byte), the rest is the ReadStream. Odd: the rest is up to four answers,
// each a two-byte little-endian length and that many bytes, for "hi!" and the
// product information request that follows it.

#include "base/KaExceptions.h"
#include "fuzz/FuzzCheck.h"
#include "net/KaConnection.h"
#include "net/KaMessage.h"
#include "net/testing/KaNetTesting.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// One read, checked against the message format's rules: a read that fails
// consumes nothing (a string's four length bytes excepted), one that
// succeeds consumes exactly its bytes, and a value written back reads as the
// same bytes.
void ReadOne(IMessage& m, uint8_t op) {
  TMemoryStream& in = m.GetReadStream();
  const int64_t before = in.GetPosition();
  const int64_t left = in.GetSize() - before;
  int64_t consumed = -1; // unknown (strings)
  IMessagePtr echo = CreateMessage();
  try {
    switch (op % 15) {
    case 0: echo->WriteByte(m.ReadByte()), consumed = 1; break;
    case 1: echo->WriteInteger(m.ReadInteger()), consumed = 4; break;
    case 2: echo->WriteInt64(m.ReadInt64()), consumed = 8; break;
    case 3: echo->WriteCardinal(m.ReadCardinal()), consumed = 4; break;
    case 4: m.ReadBoolean(), consumed = 1; break;
    case 5: m.ReadDouble(), consumed = 8; break;
    case 6: m.ReadDateTime(), consumed = 8; break;
    case 7: m.ReadReal(), consumed = 8; break;
    case 8: {
      long double v = m.ReadExtended();
      consumed = 10;
      echo->WriteExtended(v); // any value, NaN and denormals included, encodes
      break;
    }
    case 9: echo->WriteCurrency(m.ReadCurrency()), consumed = 8; break;
    case 10: {
      std::string s = m.ReadString();
      FUZZ_CHECK(static_cast<int64_t>(s.size()) <= left - 4);
      echo->WriteString(s);
      break;
    }
    case 11: {
      std::u16string w = m.ReadWideString();
      echo->WriteWideString(w);
      break;
    }
    case 12: {
      std::vector<std::string> list{"kept"};
      m.ReadStrings(list);
      FUZZ_CHECK(!list.empty() && list.front() == "kept");
      echo->WriteStrings(list);
      break;
    }
    case 13: {
      // A negative length yields an empty string after its four bytes.
      std::string s = m.ReadString();
      if (s.empty())
        FUZZ_CHECK(in.GetPosition() == before + 4 || in.GetPosition() == before);
      break;
    }
    default: m.ReadByte(), consumed = 1; break;
    }
  } catch (const EConvertError&) {
    // A date-time whose double names no date: refused once its bytes are read.
    FUZZ_CHECK(op % 15 == 6 && in.GetPosition() == before + 8);
    return;
  } catch (const EMessage& e) {
    FUZZ_CHECK(std::strcmp(e.what(), "$(Buffer is empty)!") == 0);
    // Only a string whose length was read may have moved.
    const int64_t moved = in.GetPosition() - before;
    FUZZ_CHECK(moved == 0 || (op % 15 >= 10 && op % 15 <= 13 && moved >= 4));
    return;
  }
  const int64_t moved = in.GetPosition() - before;
  FUZZ_CHECK(moved <= left);
  if (consumed >= 0) {
    FUZZ_CHECK(moved == consumed);
    const std::string& echoed = echo->GetWriteStream().Bytes();
    if (!echoed.empty() && op % 15 != 8)
      FUZZ_CHECK(std::memcmp(echoed.data(), in.Bytes().data() + before, echoed.size()) == 0);
  }
  FUZZ_CHECK(m.GetWriteStream().GetSize() == 0); // reading never writes
}

void FuzzReads(const uint8_t* data, size_t size) {
  if (size == 0)
    return;
  size_t ops = data[0] & 31;
  ++data, --size;
  if (ops > size)
    ops = size;
  IMessagePtr m = CreateMessage();
  m->GetReadStream().WriteBuffer(data + ops, static_cast<int64_t>(size - ops));
  m->GetReadStream().SetPosition(0);
  for (size_t i = 0; i < ops; ++i)
    ReadOne(*m, data[i]);
  // What is left, read as the operations of the program read their answers.
  try {
    m->ReadWideString();
    m->ReadString();
  } catch (const EMessage&) {
  }
}

void FuzzAnswers(const uint8_t* data, size_t size) {
  static TInternetSettingsScope* settings = [] {
    auto* s = new TInternetSettingsScope;
    s->Write("lib", THTTPScript::LibName);
    return s;
  }();
  (void)settings;
  THTTPScript& script = HTTPScript();
  script.Reset();
  for (int i = 0; i < 4 && size >= 2; ++i) {
    size_t n = data[0] | (data[1] << 8);
    data += 2, size -= 2;
    if (n > size)
      n = size;
    TScriptedAnswer answer;
    answer.Body.assign(reinterpret_cast<const char*>(data), n);
    script.Answers.push_back(answer);
    data += n, size -= n;
  }
  TConnection connection;
  connection.SetHost("fuzz.invalid");
  connection.SetPath("/cgi-bin/RUzodi");
  try {
    IMessagePtr m = connection.NewMessage("admin:getProductInfo");
    connection.Call(m);
    m->ReadWideString();
    m->ReadString();
  } catch (const Exception&) {
    // Every answer the server can send is either read or refused with an
    // exception of ours; nothing else may come out.
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  if (data[0] & 1)
    FuzzAnswers(data + 1, size - 1);
  else
    FuzzReads(data + 1, size - 1);
  return 0;
}
