#pragma once

#include <cstddef>
#include <cstdint>

// Continues a CRC-32 (reflected polynomial 0xEDB88320) over `length` bytes,
// without the initial and final inversion: start with 0xFFFFFFFF and invert the
// result to get the standard CRC-32.
uint32_t UpdateCRC(uint32_t crc, const void* buffer, size_t length);

// The standard 256-entry table, as constant data.
extern const uint32_t CRCTable[256];
