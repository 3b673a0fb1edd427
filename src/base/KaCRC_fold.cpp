// CRC-32 by folding with carry-less multiplication: the buffer is reduced 64
// bytes at a time in four independent 128-bit lanes, the lanes are folded into
// one, and a Barrett reduction gives the 32-bit remainder. The constants are
// powers of x modulo the bit-reflected polynomial (x^(4*128+32), x^(4*128-32),
// x^(128+32), x^(128-32), x^64 mod P) and the Barrett pair (P', P).

#include "base/KaCRC.h"

#if defined(__i386__) || defined(__x86_64__)

#include <cpuid.h>
#include <immintrin.h>

namespace {

alignas(16) constexpr uint64_t Fold4[2] = {0x0154442bd4, 0x01c6e41596};
alignas(16) constexpr uint64_t Fold1[2] = {0x01751997d0, 0x00ccaa009e};
alignas(16) constexpr uint64_t Fold64[2] = {0x0163cd6124, 0};
alignas(16) constexpr uint64_t Barrett[2] = {0x01db710641, 0x01f7011641};

#define WS_FOLD_TARGET __attribute__((target("sse4.1,pclmul")))

// a * k.low xor a.high * k.high xor next: one 128-bit lane advanced by a fixed
// distance and merged with the data found there.
WS_FOLD_TARGET inline __m128i Fold(__m128i a, __m128i k, __m128i next) {
  __m128i lo = _mm_clmulepi64_si128(a, k, 0x00);
  __m128i hi = _mm_clmulepi64_si128(a, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(hi, lo), next);
}

WS_FOLD_TARGET inline __m128i Load(const unsigned char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Needs a multiple of 16 bytes, at least 64. The 32-bit Windows ABI keeps the
// stack only 4-byte aligned, and spilled SSE registers need 16.
WS_FOLD_TARGET __attribute__((force_align_arg_pointer)) uint32_t
FoldBlocks(uint32_t crc, const unsigned char* p, size_t length) {
  __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x2 = Load(p + 16);
  __m128i x3 = Load(p + 32);
  __m128i x4 = Load(p + 48);
  p += 64;
  length -= 64;

  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(Fold4));
  for (; length >= 64; p += 64, length -= 64) {
    x1 = Fold(x1, k, Load(p));
    x2 = Fold(x2, k, Load(p + 16));
    x3 = Fold(x3, k, Load(p + 32));
    x4 = Fold(x4, k, Load(p + 48));
  }

  k = _mm_load_si128(reinterpret_cast<const __m128i*>(Fold1));
  x1 = Fold(x1, k, x2);
  x1 = Fold(x1, k, x3);
  x1 = Fold(x1, k, x4);
  for (; length >= 16; p += 16, length -= 16)
    x1 = Fold(x1, k, Load(p));

  // 128 bits to 64.
  const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k, 0x10));
  k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(Fold64));
  x1 =
      _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x00), _mm_srli_si128(x1, 4));

  // Barrett reduction to 32 bits.
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(Barrett));
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), k, 0x00);
  return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}

#undef WS_FOLD_TARGET

} // namespace

bool CRCFoldingAvailable() {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d))
    return false;
  return (c & bit_PCLMUL) && (c & bit_SSE4_1);
}

uint32_t UpdateCRCFolded(uint32_t crc, const void* buffer, size_t length) {
  const auto* p = static_cast<const unsigned char*>(buffer);
  if (length >= 64) {
    size_t blocks = length & ~size_t(15);
    crc = FoldBlocks(crc, p, blocks);
    p += blocks;
    length -= blocks;
  }
  return UpdateCRCTable(crc, p, length);
}

#else

bool CRCFoldingAvailable() { return false; }

uint32_t UpdateCRCFolded(uint32_t crc, const void* buffer, size_t length) {
  return UpdateCRCTable(crc, buffer, length);
}

#endif
