#include "libs/ftsindex/BitCount.h"

#include <cstring>

namespace fts {
namespace {

template <typename Count64>
inline uint64_t CountWith(const uint8_t* p, size_t n, Count64 count) {
  uint64_t ones = 0;
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    ones += count(w);
  }
  for (; n > 0; ++p, --n) ones += count(uint64_t{*p});
  return ones;
}

uint64_t Software(const uint8_t* p, size_t n) {
  return CountWith(p, n, [](uint64_t w) { return uint64_t(__builtin_popcountll(w)); });
}

#if defined(__x86_64__)
__attribute__((target("popcnt"))) uint64_t Hardware(const uint8_t* p, size_t n) {
  return CountWith(p, n, [](uint64_t w) { return uint64_t(__builtin_popcountll(w)); });
}
#endif

}  // namespace

uint64_t CountBits(const uint8_t* data, size_t size) {
#if defined(__x86_64__)
  static const bool hasPopcnt = __builtin_cpu_supports("popcnt");
  return hasPopcnt ? Hardware(data, size) : Software(data, size);
#else
  return Software(data, size);
#endif
}

}  // namespace fts
