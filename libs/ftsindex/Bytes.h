#pragma once
// Little-endian fields of the index file, and the LEB128 varints of a build's lists.
#include <cstdint>
#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the index file is little-endian");

namespace fts {

inline uint16_t Load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline void Store16(uint8_t* p, uint16_t v) {
  std::memcpy(p, &v, 2);
}
inline void Store32(uint8_t* p, uint32_t v) {
  std::memcpy(p, &v, 4);
}
inline void Store64(uint8_t* p, uint64_t v) {
  std::memcpy(p, &v, 8);
}
// Reads one varint of at most five bytes from [p, end); false when it runs
// past end or does not fit 32 bits.
inline bool ReadVarint(const uint8_t*& p, const uint8_t* end, uint32_t& v) {
  uint32_t result = 0;
  for (int shift = 0; shift < 35; shift += 7) {
    if (p == end) return false;
    const uint8_t b = *p++;
    if (shift == 28 && (b & 0xF0)) return false;
    result |= static_cast<uint32_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) {
      v = result;
      return true;
    }
  }
  return false;
}

}  // namespace fts
