// CRC-32 throughput against memcpy of the same in-memory buffer: memcpy is what
// the memory system gives at best, so the ratio says how close the checksum
// comes to it. Prints "ratio crc32-vs-memcpy<suffix> VALUE" (higher is better).

#include "base/KaCRC.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr size_t BufferSize = 32u << 20;
constexpr int Rounds = 5;

template <class F> double Best(F&& work) {
  double best = 1e9;
  for (int r = 0; r < Rounds; ++r) {
    auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

double MBps(double seconds) { return BufferSize / seconds / 1e6; }

} // namespace

int main() {
  std::vector<unsigned char> source(BufferSize), target(BufferSize);
  for (size_t i = 0; i < BufferSize; ++i)
    source[i] = static_cast<unsigned char>((i * 2654435761u) >> 13);
  volatile uint32_t sink = 0;

  double copy = Best([&] { std::memcpy(target.data(), source.data(), BufferSize); });
  double table = Best([&] { sink = UpdateCRCTable(0xFFFFFFFFu, source.data(), BufferSize); });
  double chosen = Best([&] { sink = UpdateCRC(0xFFFFFFFFu, source.data(), BufferSize); });

  const char* suffix = sizeof(void*) == 4 ? "-32bit" : "";
  std::printf("CRC-32 benchmark (%zu MiB in memory, best of %d, %zu-bit build)\n", BufferSize >> 20,
              Rounds, sizeof(void*) * 8);
  std::printf("  memcpy                %9.0f MB/s\n", MBps(copy));
  std::printf("  CRC-32, table         %9.0f MB/s\n", MBps(table));
  std::printf("  CRC-32, %-13s %9.0f MB/s\n", CRCFoldingAvailable() ? "folded" : "table again",
              MBps(chosen));
  std::printf("ratio crc32-vs-memcpy%s %.3f\n", suffix, copy / chosen);
  std::printf("ratio crc32-table-vs-memcpy%s %.3f\n", suffix, copy / table);
  return sink == 0 ? 1 : 0;
}
