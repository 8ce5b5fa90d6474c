// Decoding of the binary field types (Visual FoxPro, dBASE 7).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "Text.h"

namespace dbe {

// I and + fields: little-endian, except dBASE 7 (version 0x04), which stores
// them big-endian with the sign bit flipped so that bytes sort as numbers.
inline int32_t decodeInteger(const uint8_t* p, uint8_t version) {
  uint32_t u;
  if (version == 0x04) {
    u = (static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]) ^ 0x80000000u;
  } else {
    u = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
  }
  return static_cast<int32_t>(u);
}

inline uint64_t decode64(const uint8_t* p) {
  uint64_t u = 0;
  for (int i = 7; i >= 0; --i) u = u << 8 | p[i];
  return u;
}

// B/O fields of width 8: IEEE double; anything not finite reads as 0.
inline double decodeDouble(const uint8_t* p) {
  const uint64_t u = decode64(p);
  double d;
  std::memcpy(&d, &u, 8);
  return std::isfinite(d) ? d : 0;
}

// Y: 64-bit integer of ten-thousandths.
inline double decodeCurrency(const uint8_t* p) {
  return static_cast<double>(static_cast<int64_t>(decode64(p))) / 10000.0;
}

// T/@: Julian day number in the first four bytes; 0 (empty) when invalid.
inline int32_t decodeDateTimeDay(const uint8_t* p) {
  const int32_t jd =
      static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
  return jd >= kFirstDay && jd <= kLastDay ? jd : 0;
}

}  // namespace dbe
