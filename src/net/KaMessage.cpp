#include "net/KaMessage.h"

#include "base/KaText.h"

#include <bit>
#include <cmath>

namespace {

constexpr const char* BufferEmpty = "$(Buffer is empty)!";

// The 80-bit extended format: 64-bit mantissa with an explicit integer bit,
// 15-bit exponent biased by 16383, sign bit on top. Built from the value's
// parts rather than from its memory, since long double is not that format on
// every compiler.
constexpr int ExtendedBias = 16383;
constexpr int ExtendedMaxExponent = 0x7FFF;
constexpr uint64_t IntegerBit = 0x8000000000000000ull;
constexpr uint64_t QuietNaN = 0xC000000000000000ull;
// A denormal's mantissa counts units of 2^(1 - 16383 - 63).
constexpr int DenormalShift = ExtendedBias - 1 + 63;

void EncodeExtended(long double value, uint8_t out[10]) {
  uint16_t top = std::signbit(value) ? 0x8000 : 0;
  uint64_t mantissa = 0;
  if (std::isnan(value)) {
    top |= ExtendedMaxExponent;
    mantissa = QuietNaN;
  } else if (std::isinf(value)) {
    top |= ExtendedMaxExponent;
    mantissa = IntegerBit;
  } else if (value != 0) {
    int exponent = 0;
    long double fraction = std::frexp(std::fabs(value), &exponent); // [0.5, 1)
    int biased = exponent - 1 + ExtendedBias;
    if (biased >= ExtendedMaxExponent) {
      top |= ExtendedMaxExponent;
      mantissa = IntegerBit;
    } else if (biased <= 0) {
      mantissa = static_cast<uint64_t>(std::ldexp(fraction, 63 + biased));
    } else {
      top |= static_cast<uint16_t>(biased);
      mantissa = static_cast<uint64_t>(std::ldexp(fraction, 64));
    }
  }
  for (int i = 0; i < 8; ++i)
    out[i] = static_cast<uint8_t>(mantissa >> (8 * i));
  out[8] = static_cast<uint8_t>(top);
  out[9] = static_cast<uint8_t>(top >> 8);
}

long double DecodeExtended(const uint8_t in[10]) {
  uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i)
    mantissa |= static_cast<uint64_t>(in[i]) << (8 * i);
  uint16_t top = static_cast<uint16_t>(in[8] | (in[9] << 8));
  int exponent = top & ExtendedMaxExponent;
  long double value;
  if (exponent == ExtendedMaxExponent)
    value = (mantissa << 1) == 0 ? HUGE_VALL : NAN;
  else if (exponent == 0)
    value = std::ldexp(static_cast<long double>(mantissa), -DenormalShift);
  else
    value = std::ldexp(static_cast<long double>(mantissa), exponent - ExtendedBias - 63);
  return (top & 0x8000) ? -value : value;
}

class TMessage : public IMessage {
public:
  std::string GetCommand() const override { return FCommand; }
  void SetCommand(const std::string& command) override { FCommand = command; }
  TMemoryStream& GetReadStream() override { return FReadStream; }
  TMemoryStream& GetWriteStream() override { return FWriteStream; }

  void WriteString(const std::string& value) override {
    WriteInteger(static_cast<int32_t>(value.size()));
    FWriteStream.WriteBuffer(value.data(), static_cast<int64_t>(value.size()));
  }
  void WriteWideString(const std::u16string& value) override { WriteString(WideToUtf8(value)); }
  void WriteByte(uint8_t value) override { WriteBuffer(&value, 1); }
  void WriteInteger(int32_t value) override { WriteLE(static_cast<uint32_t>(value), 4); }
  void WriteInt64(int64_t value) override { WriteLE(static_cast<uint64_t>(value), 8); }
  void WriteCardinal(uint32_t value) override { WriteLE(value, 4); }
  void WriteBoolean(bool value) override { WriteByte(value ? 1 : 0); }
  void WriteDouble(double value) override { WriteLE(std::bit_cast<uint64_t>(value), 8); }
  void WriteDateTime(TDateTime value) override { WriteDouble(value.ToDouble()); }
  void WriteReal(double value) override { WriteDouble(value); }
  void WriteExtended(long double value) override {
    uint8_t bytes[10];
    EncodeExtended(value, bytes);
    WriteBuffer(bytes, 10);
  }
  void WriteCurrency(TCurrency value) override { WriteInt64(value.Value); }

  std::string ReadString() override {
    int32_t length = ReadInteger();
    if (length <= 0)
      return std::string();
    // Checked before allocating: the length field is the peer's word only.
    Need(length);
    std::string value(static_cast<size_t>(length), '\0');
    FReadStream.ReadBuffer(value.data(), length);
    return value;
  }
  std::u16string ReadWideString() override { return Utf8ToWide(ReadString()); }
  uint8_t ReadByte() override { return static_cast<uint8_t>(ReadLE(1)); }
  int32_t ReadInteger() override { return static_cast<int32_t>(ReadLE(4)); }
  int64_t ReadInt64() override { return static_cast<int64_t>(ReadLE(8)); }
  uint32_t ReadCardinal() override { return static_cast<uint32_t>(ReadLE(4)); }
  // The byte as stored: any non-zero byte is true.
  bool ReadBoolean() override { return ReadByte() != 0; }
  double ReadDouble() override { return std::bit_cast<double>(ReadLE(8)); }
  TDateTime ReadDateTime() override { return TDateTime::FromDouble(ReadDouble()); }
  double ReadReal() override { return ReadDouble(); }
  long double ReadExtended() override {
    uint8_t bytes[10];
    Need(10);
    FReadStream.ReadBuffer(bytes, 10);
    return DecodeExtended(bytes);
  }
  TCurrency ReadCurrency() override { return TCurrency{ReadInt64()}; }

  void WriteStrings(const std::vector<std::string>& list) override {
    WriteInteger(static_cast<int32_t>(list.size()));
    for (const std::string& item : list)
      WriteString(item);
  }
  void ReadStrings(std::vector<std::string>& list) override {
    int32_t count = ReadInteger();
    for (int32_t i = 0; i < count; ++i)
      list.push_back(ReadString());
  }

  int64_t GetAnswerLimit() const override { return FAnswerLimit; }
  void SetAnswerLimit(int64_t limit) override { FAnswerLimit = limit; }
  TByteSink* GetResultSink() const override { return FResultSink; }
  void SetResultSink(TByteSink* sink) override { FResultSink = sink; }

private:
  void WriteBuffer(const void* bytes, int64_t count) { FWriteStream.WriteBuffer(bytes, count); }

  void WriteLE(uint64_t value, int size) {
    uint8_t bytes[8];
    for (int i = 0; i < size; ++i)
      bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    WriteBuffer(bytes, size);
  }

  void Need(int64_t count) {
    if (FReadStream.GetSize() - FReadStream.GetPosition() < count)
      throw EMessage(BufferEmpty);
  }

  uint64_t ReadLE(int size) {
    uint8_t bytes[8];
    Need(size);
    FReadStream.ReadBuffer(bytes, size);
    uint64_t value = 0;
    for (int i = 0; i < size; ++i)
      value |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    return value;
  }

  std::string FCommand;
  TMemoryStream FReadStream;
  TMemoryStream FWriteStream;
  int64_t FAnswerLimit = DefaultAnswerLimit;
  TByteSink* FResultSink = nullptr;
};

} // namespace

IMessagePtr CreateMessage() { return std::make_shared<TMessage>(); }
