#include "base/KaCRC.h"

#include <array>

namespace {

constexpr uint32_t Polynomial = 0xEDB88320u;

// Slicing by eight: table[k][b] is the CRC contribution of byte b seen k bytes
// before the end of an 8-byte block. Row 0 is the classic table.
constexpr std::array<std::array<uint32_t, 256>, 8> MakeTables() {
  std::array<std::array<uint32_t, 256>, 8> t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k)
      c = (c & 1) ? (c >> 1) ^ Polynomial : c >> 1;
    t[0][i] = c;
  }
  for (uint32_t i = 0; i < 256; ++i)
    for (int k = 1; k < 8; ++k)
      t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  return t;
}

constexpr auto Tables = MakeTables();

} // namespace

const uint32_t CRCTable[256] = {
#define ROW(i) Tables[0][i]
#define ROW8(i)                                                                                    \
  ROW(i), ROW(i + 1), ROW(i + 2), ROW(i + 3), ROW(i + 4), ROW(i + 5), ROW(i + 6), ROW(i + 7)
#define ROW64(i)                                                                                   \
  ROW8(i), ROW8(i + 8), ROW8(i + 16), ROW8(i + 24), ROW8(i + 32), ROW8(i + 40), ROW8(i + 48),      \
      ROW8(i + 56)
    ROW64(0), ROW64(64), ROW64(128), ROW64(192)
#undef ROW64
#undef ROW8
#undef ROW
};

uint32_t UpdateCRCTable(uint32_t crc, const void* buffer, size_t length) {
  const auto* p = static_cast<const unsigned char*>(buffer);
  while (length >= 8) {
    uint32_t lo =
        crc ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    crc = Tables[7][lo & 0xFF] ^ Tables[6][(lo >> 8) & 0xFF] ^ Tables[5][(lo >> 16) & 0xFF] ^
          Tables[4][lo >> 24] ^ Tables[3][p[4]] ^ Tables[2][p[5]] ^ Tables[1][p[6]] ^
          Tables[0][p[7]];
    p += 8;
    length -= 8;
  }
  while (length--)
    crc = (crc >> 8) ^ Tables[0][(crc ^ *p++) & 0xFF];
  return crc;
}

namespace {

using TCRCFunction = uint32_t (*)(uint32_t, const void*, size_t);

// Below this the folding's fixed cost of reduction outweighs what it saves.
constexpr size_t FoldingMinimum = 64;

uint32_t UpdateCRCDispatched(uint32_t crc, const void* buffer, size_t length) {
  if (length < FoldingMinimum)
    return UpdateCRCTable(crc, buffer, length);
  return UpdateCRCFolded(crc, buffer, length);
}

} // namespace

uint32_t UpdateCRC(uint32_t crc, const void* buffer, size_t length) {
  // Chosen on first use, so a caller during static initialisation is safe too.
  static const TCRCFunction selected = CRCFoldingAvailable() ? UpdateCRCDispatched : UpdateCRCTable;
  return selected(crc, buffer, length);
}
