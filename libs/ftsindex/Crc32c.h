#pragma once
// CRC-32C (Castagnoli), the checksum of the index file.
#include <cstddef>
#include <cstdint>

namespace fts {

// CRC-32C of data continuing from crc (0 to start); "123456789" gives 0xE3069283.
uint32_t Crc32c(const void* data, size_t size, uint32_t crc = 0);

}  // namespace fts
