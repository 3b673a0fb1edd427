#include "net/KaCipher.h"

#include "base/KaExceptions.h"

#include <algorithm>
#include <cstring>

namespace {

// The key repeated from the piece's place in it, as long as a run of whole
// keys that is also a whole number of 8-byte words, so that the bytes can be
// XORed a word at a time: a file answer is ciphered whole on the server and
// deciphered whole by the client, a byte at a time many times slower.
constexpr size_t LongestRun = 1024;

size_t WordRun(size_t keySize) {
  size_t run = keySize;
  while (run % sizeof(uint64_t) != 0 && run <= LongestRun)
    run += keySize;
  return run <= LongestRun ? run : 0;
}

} // namespace

void Cipher(TMemoryStream& stream, const std::string& key, int64_t offset) {
  if (key.empty())
    throw Exception("$(Invalid cipher)!");
  const int64_t from = std::max<int64_t>(offset, 0);
  const int64_t size = stream.GetSize();
  if (from < size)
    CipherBytes(stream.Memory() + from, static_cast<size_t>(size - from), key, 0);
}

void CipherBytes(uint8_t* bytes, size_t size, const std::string& key, uint64_t keyOffset) {
  if (key.empty())
    throw Exception("$(Invalid cipher)!");
  const size_t n = key.size();
  const auto* k = reinterpret_cast<const uint8_t*>(key.data());
  const size_t start = static_cast<size_t>(keyOffset % n);
  const size_t run = WordRun(n);
  size_t i = 0;
  if (run != 0 && size >= run) {
    uint8_t pattern[LongestRun];
    for (size_t j = 0; j < run; ++j)
      pattern[j] = k[(start + j) % n];
    for (size_t j = 0; i + sizeof(uint64_t) <= size; i += sizeof(uint64_t)) {
      uint64_t word, with;
      std::memcpy(&word, bytes + i, sizeof word);
      std::memcpy(&with, pattern + j, sizeof with);
      word ^= with;
      std::memcpy(bytes + i, &word, sizeof word);
      j += sizeof(uint64_t);
      if (j == run)
        j = 0;
    }
  }
  for (size_t j = (start + i) % n; i < size; ++i) {
    bytes[i] ^= k[j];
    if (++j == n)
      j = 0;
  }
}
