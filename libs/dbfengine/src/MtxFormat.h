// Layout constants and key encoding of MTX multi-tag index files (FORMAT.md).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "Expr.h"

namespace dbe {

constexpr char kMtxMagic[4] = {'M', 'T', 'X', '\x1A'};
// Version 2 checks each block of entries when it is first read, so that an
// index opens without reading its entries; version 1 files are refused.
constexpr uint16_t kMtxVersion = 2;
constexpr size_t kMtxHeaderSize = 64;
// Entries per block: as many as fit in 4 KiB, at least one. Small blocks
// keep a seek cheap: a binary search reads and checks one block per step.
constexpr size_t kMtxBlockBytes = 4096;
inline uint32_t entriesPerBlock(size_t entrySize) {
  return static_cast<uint32_t>(entrySize >= kMtxBlockBytes ? 1 : kMtxBlockBytes / entrySize);
}
// The directory, texts and block checks together stay below this.
constexpr uint64_t kMtxMaxMeta = uint64_t{256} << 20;
constexpr size_t kMtxTagSize = 64;
constexpr int kMtxMaxTags = 64;
constexpr int kMtxMaxKey = 256;
constexpr uint8_t kTagUnique = 1, kTagDescending = 2;

// Key types stored in a tag entry of the directory.
enum KeyType : uint8_t { kKeyChar = 1, kKeyNumeric = 2, kKeyLogical = 3, kKeyDate = 4 };

inline KeyType keyTypeOf(Type t) {
  switch (t) {
    case Type::Numeric:
      return kKeyNumeric;
    case Type::Logical:
      return kKeyLogical;
    case Type::Date:
      return kKeyDate;
    default:
      return kKeyChar;
  }
}
inline int fixedKeyLength(KeyType t) {
  return t == kKeyLogical ? 1 : t == kKeyChar ? 0 : 8;
}

// Numbers become 8 bytes whose byte order is their numeric order.
inline void encodeNumber(double v, uint8_t* out) {
  if (v == 0) v = 0;  // -0 sorts as 0
  uint64_t u;
  std::memcpy(&u, &v, 8);
  u = (u & 0x8000000000000000ull) ? ~u : u | 0x8000000000000000ull;
  for (int i = 7; i >= 0; --i, u >>= 8) out[i] = static_cast<uint8_t>(u);
}

// The key bytes of the current record: character keys padded with blanks
// or cut to keyLen, dates as DTOS text, logicals 'T'/'F'.
void encodeKey(Expression& e, const EvalContext& c, KeyType type, size_t keyLen, std::string& out);

// Entry order: key bytes (reversed when descending), then record number.
inline int compareEntries(const uint8_t* ka, uint32_t ra, const uint8_t* kb, uint32_t rb,
                          size_t keyLen, bool descending) {
  int r = std::memcmp(ka, kb, keyLen);
  if (r != 0) return descending ? (r < 0 ? 1 : -1) : (r < 0 ? -1 : 1);
  return ra < rb ? -1 : ra > rb ? 1 : 0;
}

inline uint32_t get32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t get64(const uint8_t* p) {
  return get32(p) | static_cast<uint64_t>(get32(p + 4)) << 32;
}
// Check of a block of entries: FNV-1a 64 taken a 64-bit little-endian word
// at a time (the last word padded with zero bytes), its two halves XORed. A
// word per step keeps the check of a block far below the cost of reading it.
inline uint32_t blockCheck(const uint8_t* data, size_t size) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (size_t i = 0; i < size; i += 8) {
    uint64_t w = 0;
    if (size - i >= 8) {
      w = get64(data + i);
    } else {
      for (size_t j = 0; i + j < size; ++j) w |= static_cast<uint64_t>(data[i + j]) << (8 * j);
    }
    h = (h ^ w) * 0x100000001B3ull;
  }
  return static_cast<uint32_t>(h ^ (h >> 32));  // the high half folded in
}
inline void put16(std::string& s, size_t at, uint16_t v) {
  s[at] = static_cast<char>(v), s[at + 1] = static_cast<char>(v >> 8);
}
inline void put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}
inline void put64(std::string& s, size_t at, uint64_t v) {
  for (int i = 0; i < 8; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace dbe
