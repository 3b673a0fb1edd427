#include "base/KaCRC.h"

#include "base/KaExceptions.h"
#include "base/KaFiles.h"
#include "base/KaStreams.h"

#include <gtest/gtest.h>
#include <random>
#include <zlib.h>

TEST(CRC, CheckValueAndTable) {
  const char text[] = "123456789";
  EXPECT_EQ(~UpdateCRC(0xFFFFFFFFu, text, 9), 0xCBF43926u);
  EXPECT_EQ(CRCTable[1], 0x77073096u);
  EXPECT_EQ(CRCTable[255], 0x2D02EF8Du);
}

TEST(CRC, AgreesWithZlibForEveryLengthAndSplit) {
  std::mt19937 rng(7);
  std::string data(3000, '\0');
  for (char& c : data)
    c = static_cast<char>(rng());
  for (size_t n : {0u, 1u, 7u, 8u, 9u, 63u, 64u, 65u, 1000u, 3000u}) {
    uint32_t expected = crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(n));
    EXPECT_EQ(~UpdateCRC(0xFFFFFFFFu, data.data(), n), expected) << n;
    size_t half = n / 3;
    uint32_t split =
        UpdateCRC(UpdateCRC(0xFFFFFFFFu, data.data(), half), data.data() + half, n - half);
    EXPECT_EQ(~split, expected) << n;
  }
}

// The folded path reads 16 bytes at a time with unaligned loads and hands the
// tail to the table: every length around those boundaries, at every alignment,
// and continuing from any running value, must agree with zlib.
TEST(CRC, BothPathsAgreeWithZlibForEveryLengthAndAlignment) {
  std::mt19937 rng(11);
  std::string data(1 << 16, '\0');
  for (char& c : data)
    c = static_cast<char>(rng());
  auto zlib = [&](size_t offset, size_t n) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data() + offset), static_cast<uInt>(n)));
  };
  std::vector<size_t> lengths;
  for (size_t n = 0; n <= 300; ++n)
    lengths.push_back(n);
  for (size_t n : {1023u, 1024u, 1025u, 4096u, 65535u - 16u})
    lengths.push_back(n);
  const bool folding = CRCFoldingAvailable();
  for (size_t offset = 0; offset < 16; ++offset) {
    for (size_t n : lengths) {
      const unsigned char* p = reinterpret_cast<const unsigned char*>(data.data()) + offset;
      uint32_t expected = zlib(offset, n);
      ASSERT_EQ(~UpdateCRCTable(0xFFFFFFFFu, p, n), expected) << offset << " " << n;
      ASSERT_EQ(~UpdateCRC(0xFFFFFFFFu, p, n), expected) << offset << " " << n;
      if (folding) {
        ASSERT_EQ(~UpdateCRCFolded(0xFFFFFFFFu, p, n), expected) << offset << " " << n;
      }
    }
  }
  // A running value other than the start: split at an odd place.
  uint32_t running = UpdateCRC(0xFFFFFFFFu, data.data(), 77);
  EXPECT_EQ(~UpdateCRC(running, data.data() + 77, data.size() - 77), zlib(0, data.size()));
  if (folding) {
    EXPECT_EQ(~UpdateCRCFolded(running, data.data() + 77, data.size() - 77), zlib(0, data.size()));
  }
}

TEST(CRC, FileCRCStreamsTheWholeFile) {
  std::string dir = GetTempDir();
  std::string name = dir + "ws_crc_test.bin";
  std::string big(4096 * 3 + 17, 'x');
  for (size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>(i * 31);
  TMemoryStream(big).SaveToFile(name);
  EXPECT_EQ(FileCRC(name),
            crc32(0, reinterpret_cast<const Bytef*>(big.data()), static_cast<uInt>(big.size())));
  TMemoryStream(std::string("123456789")).SaveToFile(name);
  EXPECT_EQ(FileCRC(name), 0xCBF43926u);
  TMemoryStream().SaveToFile(name);
  EXPECT_EQ(FileCRC(name), 0u);
  RemoveFile(name);
  EXPECT_THROW(FileCRC(name), EFOpenError);
}
