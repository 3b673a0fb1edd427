#pragma once

#include "base/KaDateTime.h"
#include "base/KaExceptions.h"
#include "base/KaStreams.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

KA_DECLARE_EXCEPTION(EMessage, Exception);

// A currency value, held as value x 10000.
struct TCurrency {
  int64_t Value = 0;
  friend bool operator==(TCurrency, TCurrency) = default;
};

// The container of one remote operation: typed values appended to WriteStream
// go out, the answer's bytes arrive in ReadStream and are read back in the
// order the operation defines. Little-endian, no tags, no alignment.
class IMessage {
public:
  virtual ~IMessage() = default;

  virtual std::string GetCommand() const = 0;
  virtual void SetCommand(const std::string& command) = 0;
  virtual TMemoryStream& GetReadStream() = 0;
  virtual TMemoryStream& GetWriteStream() = 0;

  virtual void WriteString(const std::string& value) = 0;
  virtual void WriteWideString(const std::u16string& value) = 0;
  virtual void WriteByte(uint8_t value) = 0;
  virtual void WriteInteger(int32_t value) = 0;
  virtual void WriteInt64(int64_t value) = 0;
  virtual void WriteCardinal(uint32_t value) = 0;
  virtual void WriteBoolean(bool value) = 0;
  virtual void WriteDouble(double value) = 0;
  virtual void WriteDateTime(TDateTime value) = 0;
  virtual void WriteReal(double value) = 0;
  // 80-bit extended precision on the wire; long double is that type with gcc
  // on x86, but the encoding is done byte by byte so it is exact anywhere.
  virtual void WriteExtended(long double value) = 0;
  virtual void WriteCurrency(TCurrency value) = 0;

  // Reads raise EMessage "$(Buffer is empty)!" when too few bytes remain.
  virtual std::string ReadString() = 0;
  virtual std::u16string ReadWideString() = 0;
  virtual uint8_t ReadByte() = 0;
  virtual int32_t ReadInteger() = 0;
  virtual int64_t ReadInt64() = 0;
  virtual uint32_t ReadCardinal() = 0;
  virtual bool ReadBoolean() = 0;
  virtual double ReadDouble() = 0;
  virtual TDateTime ReadDateTime() = 0;
  virtual double ReadReal() = 0;
  virtual long double ReadExtended() = 0;
  virtual TCurrency ReadCurrency() = 0;

  virtual void WriteStrings(const std::vector<std::string>& list) = 0;
  // Appends to the caller's list.
  virtual void ReadStrings(std::vector<std::string>& list) = 0;

  // The most bytes the caller accepts as the answer, a bound for its kind of
  // call; the connection refuses a longer answer before holding it. Never
  // sent. DefaultAnswerLimit when not set.
  virtual int64_t GetAnswerLimit() const = 0;
  virtual void SetAnswerLimit(int64_t limit) = 0;

  // Where the first string of a successful answer goes. With a sink set,
  // the connection hands the string's bytes to it piece by piece as they
  // arrive, deciphered, and they never reach ReadStream: an answer of any
  // size passes in bounded memory. The caller does not read that string.
  // Not owned; none (the default) holds the whole answer in ReadStream.
  virtual TByteSink* GetResultSink() const = 0;
  virtual void SetResultSink(TByteSink* sink) = 0;
};

// Ample for every answer but a file's content: a session, a product name and
// a manifest of many thousand files.
inline constexpr int64_t DefaultAnswerLimit = 64 * 1024 * 1024;

using IMessagePtr = std::shared_ptr<IMessage>;

IMessagePtr CreateMessage();
