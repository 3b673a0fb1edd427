#pragma once

#include <cstddef>
#include <cstdint>

// Continues a CRC-32 (reflected polynomial 0xEDB88320) over `length` bytes,
// without the initial and final inversion: start with 0xFFFFFFFF and invert the
// result to get the standard CRC-32.
// Uses carry-less multiplication (PCLMULQDQ) where the processor has it and the
// table otherwise; both give the same result for every length and alignment.
uint32_t UpdateCRC(uint32_t crc, const void* buffer, size_t length);

// The two ways of computing it, for the tests and the benchmark.
uint32_t UpdateCRCTable(uint32_t crc, const void* buffer, size_t length);
// Only when CRCFoldingAvailable(): SSE4.1 and PCLMULQDQ.
uint32_t UpdateCRCFolded(uint32_t crc, const void* buffer, size_t length);
bool CRCFoldingAvailable();

// The standard 256-entry table, as constant data.
extern const uint32_t CRCTable[256];
