#pragma once

#include "base/KaStreams.h"

#include <cstdint>
#include <string>

// XORs the stream's bytes from offset to its end in place with the key,
// repeated, its first byte at offset; the position stays. Applying it twice
// restores the bytes. An empty key raises Exception "$(Invalid cipher)!".
void Cipher(TMemoryStream& stream, const std::string& key, int64_t offset);
