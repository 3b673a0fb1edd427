#include "net/KaCipher.h"

#include "base/KaExceptions.h"

#include <algorithm>

void Cipher(TMemoryStream& stream, const std::string& key, int64_t offset) {
  if (key.empty())
    throw Exception("$(Invalid cipher)!");
  const int64_t size = stream.GetSize();
  uint8_t* bytes = stream.Memory();
  size_t k = 0;
  for (int64_t i = std::max<int64_t>(offset, 0); i < size; ++i) {
    bytes[i] ^= static_cast<uint8_t>(key[k]);
    if (++k == key.size())
      k = 0;
  }
}
