#pragma once
// CRC-32C (Castagnoli), the checksum of the index file.
#include <cstddef>
#include <cstdint>

namespace fts {

// CRC-32C of data continuing from crc (0 to start); "123456789" gives 0xE3069283.
uint32_t Crc32c(const void* data, size_t size, uint32_t crc = 0);

// Whether a part of the index file has its stored checksum. Built for
// fuzzing, every part has, so that mutated files reach the layout checks.
inline bool ChecksumMatches(const void* data, size_t size, uint32_t stored) {
#ifdef FTS_FUZZING
  (void)data, (void)size, (void)stored;
  return true;
#else
  return Crc32c(data, size) == stored;
#endif
}

}  // namespace fts
