#include "Scramble.h"

namespace dbe {

namespace {
uint64_t splitmix(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
}  // namespace

uint64_t scrambleKey(std::string_view password) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (unsigned char c : password) {
    h ^= c;
    h *= 0x100000001B3ull;
  }
  return h;
}

uint32_t scrambleCheck(uint64_t key) {
  uint64_t state = key ^ 0x4D54584348454B31ull;  // "MTXCHEK1"
  return static_cast<uint32_t>(splitmix(state));
}

void scrambleRecord(uint64_t key, uint32_t recno, uint8_t* fields, size_t size) {
  uint64_t state = key ^ (static_cast<uint64_t>(recno) * 0xD1B54A32D192ED03ull);
  // Each 64-bit stream word covers eight bytes, lowest byte first.
  for (size_t i = 0; i < size; i += 8) {
    uint64_t k = splitmix(state);
    for (size_t j = i; j < size && j < i + 8; ++j, k >>= 8) fields[j] ^= static_cast<uint8_t>(k);
  }
}

}  // namespace dbe
