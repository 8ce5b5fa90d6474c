#pragma once
// The number of set bits in a run of bytes, with the processor's popcnt
// instruction where it has one.
#include <cstddef>
#include <cstdint>

namespace fts {

uint64_t CountBits(const uint8_t* data, size_t size);

}  // namespace fts
