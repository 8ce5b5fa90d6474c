#include "libs/ftsindex/Crc32c.h"

#include <array>
#include <cstring>

namespace fts {
namespace {

constexpr uint32_t kPolynomial = 0x82F63B78;  // reflected

constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ kPolynomial : c >> 1;
    t[i] = c;
  }
  return t;
}
constexpr auto kTable = MakeTable();

uint32_t Software(const uint8_t* p, size_t n, uint32_t c) {
  while (n--) c = kTable[(c ^ *p++) & 0xFF] ^ (c >> 8);
  return c;
}

#if defined(__x86_64__)
// The SSE 4.2 instruction computes the same polynomial eight bytes at a time;
// the file of a large index is checked at every open.
__attribute__((target("sse4.2"))) uint32_t Hardware(const uint8_t* p, size_t n, uint32_t c) {
  uint64_t c64 = c;
  while (n >= 8) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    c64 = __builtin_ia32_crc32di(c64, v);
    p += 8;
    n -= 8;
  }
  c = static_cast<uint32_t>(c64);
  while (n--) c = __builtin_ia32_crc32qi(c, *p++);
  return c;
}
#endif

}  // namespace

uint32_t Crc32c(const void* data, size_t size, uint32_t crc) {
  const auto* p = static_cast<const uint8_t*>(data);
  uint32_t c = ~crc;
#if defined(__x86_64__)
  static const bool hasSse42 = __builtin_cpu_supports("sse4.2");
  c = hasSse42 ? Hardware(p, size, c) : Software(p, size, c);
#else
  c = Software(p, size, c);
#endif
  return ~c;
}

}  // namespace fts
