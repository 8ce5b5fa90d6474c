#pragma once
// One block of an Elias-Fano coded posting list: the record numbers that
// follow the block's first one (which the list's head holds), as FORMAT.md
// lays them out.
#include <cstddef>
#include <cstdint>
#include <string>

namespace fts {

// Bytes of the block of values[0..n) (ascending; values[0] is not stored).
size_t EliasFanoBytes(const uint32_t* values, uint32_t n);

// Appends the block of values[0..n) to out.
void AppendEliasFano(const uint32_t* values, uint32_t n, std::string& out);

// The numbers of a block one after another, decoded as far as they are
// asked for. Every step checks what it reads: a number out of order or past
// `last`, or bits that run out, make the cursor bad.
class EliasFanoCursor {
 public:
  // The block of n numbers whose first is first, in data[0..size); false
  // (and bad) when its fixed part is malformed.
  bool Start(const uint8_t* data, size_t size, uint32_t first, uint32_t n, uint32_t last);
  uint32_t Value() const { return value_; }
  // Moves to the next number; false after the last one, or when bad.
  bool Next();
  // Moves to the first number at least target (staying where Value() is
  // already at least target): bytes of high parts whose numbers all lie
  // below it are passed over whole, without their numbers being read one by
  // one. False after the last number, or when bad.
  bool SkipTo(uint32_t target);
  bool Bad() const { return bad_; }
  // After the last number: whether the block ends there, no bit to spare.
  bool EndsExactly() const;

 private:
  // With the current byte of high parts used up: moves past the whole
  // bytes after it whose numbers all lie below target, their low parts too.
  void PassBytesBelow(uint32_t target);

  const uint8_t* lowStart_ = nullptr;
  const uint8_t* lowBits_ = nullptr;
  const uint8_t* highBits_ = nullptr;
  size_t highBytes_ = 0;
  uint32_t first_ = 0, last_ = 0, low_ = 0, m_ = 0, taken_ = 0;
  uint64_t lowEnd_ = 0;   // bits of low parts in all
  uint64_t pending_ = 0;  // low bits read ahead
  uint32_t pendingBits_ = 0;
  size_t byte_ = 0;
  uint32_t bits_ = 0;  // of the high byte at byte_, those not yet taken
  uint64_t previous_ = 0;
  uint32_t value_ = 0;
  bool bad_ = false;
};

// Decodes a block of n numbers whose first is first from data[0..size) into
// out[0..n). False (out undefined) unless the bytes are exactly such a
// block: its length, no stray bits, numbers ascending and at most last.
bool DecodeEliasFano(const uint8_t* data, size_t size, uint32_t first, uint32_t n, uint32_t last,
                     uint32_t* out);

}  // namespace fts
