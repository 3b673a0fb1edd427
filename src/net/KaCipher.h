#pragma once

#include "base/KaStreams.h"

#include <cstddef>
#include <cstdint>
#include <string>

// XORs the stream's bytes from offset to its end in place with the key,
// repeated, its first byte at offset; the position stays. Applying it twice
// restores the bytes. An empty key raises Exception "$(Invalid cipher)!".
void Cipher(TMemoryStream& stream, const std::string& key, int64_t offset);

// The same for a piece of a longer run of ciphered bytes: `keyOffset` is the
// piece's distance from where the key's first byte applies, so that the
// pieces of a run ciphered one after the other give what one Cipher of the
// whole run gives. An empty key raises as Cipher does.
void CipherBytes(uint8_t* bytes, size_t size, const std::string& key, uint64_t keyOffset);
