// CRC-32 of a file against a plain read of the same file in the same 4096-byte
// blocks, both from the page cache after a warm-up, so the difference is the
// cost of the checksum itself.

#include "model/testing/VoBench.h"

#include <algorithm>

namespace {

constexpr long FileSize = 64L << 20;

void PlainRead(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
  char buffer[4096];
  while (file.Read(buffer, sizeof buffer) > 0) {
  }
}

void Throughput(const char* what, double seconds) {
  std::printf("  %-28s %8.3f s  %9.1f MiB/s\n", what, seconds, FileSize / seconds / (1 << 20));
}

} // namespace

int main() {
  std::string dir = BenchDir("ws_model_bench_crc");
  std::string fileName = dir + "data.bin";
  std::string data(FileSize, '\0');
  for (long i = 0; i < FileSize; ++i)
    data[i] = static_cast<char>((i * 2654435761u) >> 13);
  WriteBytes(fileName, data);
  PlainRead(fileName);

  std::printf("CRC-32 benchmark: a file of %ld MiB\n", FileSize >> 20);
  const int rounds = 3;
  double read = 1e9, crc = 1e9;
  volatile uint32_t sink = 0;
  for (int r = 0; r < rounds; ++r) {
    read = std::min(read, Timed([&] { PlainRead(fileName); }));
    crc = std::min(crc, Timed([&] { sink = FileCRC(fileName); }));
  }
  Throughput("plain read (best of 3)", read);
  Throughput("FileCRC (best of 3)", crc);
  std::printf("  CRC-32 costs %.2fx the plain read\n", crc / read);
  EraseTree(dir);
  return sink == 0 ? 1 : 0;
}
