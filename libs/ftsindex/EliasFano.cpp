#include "libs/ftsindex/EliasFano.h"

#include <algorithm>
#include <cstring>

namespace fts {
namespace {

// Set bits per byte value (a table: the build may not assume popcnt).
struct ByteBits {
  uint8_t count[256];
  constexpr ByteBits() : count() {
    for (int b = 0; b < 256; ++b) count[b] = static_cast<uint8_t>((b & 1) + count[b >> 1]);
  }
};
constexpr ByteBits kByteBits;

// The numbers after the first as y[i] = v[i + 1] - v[0] - (i + 1): never
// decreasing, from 0. Each is stored as `low` bits below and a high part
// above, the high parts in unary: bit high[i] + i of the upper bits is set.
struct Shape {
  uint32_t m = 0;          // numbers stored
  uint32_t low = 0;        // low bits per number
  uint64_t lowBytes = 0;   // ceil(m * low / 8)
  uint64_t highBytes = 0;  // ceil((y[m - 1] >> low) + m) / 8)
};

uint32_t Stored(const uint32_t* v, uint32_t i) {
  return v[i + 1] - v[0] - (i + 1);
}

Shape ShapeOf(const uint32_t* v, uint32_t n) {
  Shape s;
  s.m = n - 1;
  const uint64_t universe = uint64_t{Stored(v, s.m - 1)} + 1;
  if (universe > s.m) s.low = 63 - static_cast<uint32_t>(__builtin_clzll(universe / s.m));
  s.lowBytes = (uint64_t{s.m} * s.low + 7) / 8;
  s.highBytes = ((uint64_t{Stored(v, s.m - 1)} >> s.low) + s.m + 7) / 8;
  return s;
}

}  // namespace

size_t EliasFanoBytes(const uint32_t* values, uint32_t n) {
  if (n <= 1) return 0;
  const Shape s = ShapeOf(values, n);
  return static_cast<size_t>(1 + s.lowBytes + s.highBytes);
}

void AppendEliasFano(const uint32_t* values, uint32_t n, std::string& out) {
  if (n <= 1) return;
  const Shape s = ShapeOf(values, n);
  const size_t start = out.size();
  out.append(static_cast<size_t>(1 + s.lowBytes + s.highBytes), '\0');
  auto* p = reinterpret_cast<uint8_t*>(out.data() + start);
  p[0] = static_cast<uint8_t>(s.low);
  uint8_t* lowBits = p + 1;
  uint8_t* highBits = lowBits + s.lowBytes;
  const uint64_t mask = (uint64_t{1} << s.low) - 1;
  uint64_t pending = 0;  // low bits not yet stored, the next ones above
  uint32_t pendingBits = 0;
  for (uint32_t i = 0; i < s.m; ++i) {
    const uint32_t y = Stored(values, i);
    pending |= (y & mask) << pendingBits;
    pendingBits += s.low;
    for (; pendingBits >= 8; pendingBits -= 8, pending >>= 8)
      *lowBits++ = static_cast<uint8_t>(pending);
    const uint64_t bit = (uint64_t{y} >> s.low) + i;
    highBits[bit >> 3] |= static_cast<uint8_t>(1u << (bit & 7));
  }
  if (pendingBits) *lowBits = static_cast<uint8_t>(pending);
}

bool EliasFanoCursor::Start(const uint8_t* data, size_t size, uint32_t first, uint32_t n,
                            uint32_t last) {
  *this = EliasFanoCursor();
  first_ = value_ = first;
  last_ = last;
  bad_ = n == 0 || first > last;
  if (bad_ || n == 1) return !(bad_ = bad_ || size != 0);
  m_ = n - 1;
  low_ = size >= 1 ? data[0] : 32;
  const uint64_t lowBytes = (uint64_t{m_} * low_ + 7) / 8;
  if (low_ > 31 || size < 1 + lowBytes + 1) return !(bad_ = true);
  lowStart_ = lowBits_ = data + 1;
  highBits_ = lowBits_ + lowBytes;
  highBytes_ = size - 1 - static_cast<size_t>(lowBytes);
  lowEnd_ = uint64_t{m_} * low_;
  bits_ = highBits_[0];
  return true;
}

bool EliasFanoCursor::Next() {
  if (bad_ || taken_ == m_) return false;
  while (bits_ == 0) {
    if (++byte_ >= highBytes_) return !(bad_ = true);  // fewer set bits than numbers
    bits_ = highBits_[byte_];
  }
  const uint64_t high = byte_ * 8 + static_cast<uint32_t>(__builtin_ctz(bits_)) - taken_;
  bits_ &= bits_ - 1;
  if (high > (uint64_t{last_} >> low_)) return !(bad_ = true);  // also keeps the shift in range
  for (; pendingBits_ < low_; pendingBits_ += 8) pending_ |= uint64_t{*lowBits_++} << pendingBits_;
  const uint64_t y = high << low_ | (pending_ & ((uint64_t{1} << low_) - 1));
  pending_ >>= low_;
  pendingBits_ -= low_;
  const uint64_t value = uint64_t{first_} + (taken_ + 1) + y;
  if (y < previous_ || value > last_) return !(bad_ = true);
  previous_ = y;
  value_ = static_cast<uint32_t>(value);
  ++taken_;
  return true;
}

void EliasFanoCursor::PassBytesBelow(uint32_t target) {
  // Whole bytes after the current one: the last number of a byte with c
  // set bits is number taken_ + c - 1, its high part at most the byte's
  // last bit position less that, its value at most what that high part
  // with every low bit set makes.
  const uint64_t lowMask = (uint64_t{1} << low_) - 1;
  uint32_t skipped = 0;
  size_t byte = byte_;
  while (byte + 1 < highBytes_) {
    const uint32_t c = kByteBits.count[highBits_[byte + 1]];
    const uint64_t taken = uint64_t{taken_} + skipped + c;
    if (taken >= m_) break;  // the last number stays for Next to read and check
    if (c > 0) {
      const uint64_t lastIndex = taken - 1;
      const uint64_t lastBit = (byte + 1) * 8 + 7;
      if (lastBit < lastIndex) break;  // more set bits than positions: Next finds it bad
      const uint64_t high = lastBit - lastIndex;
      if (high > 0xFFFFFFFFu) break;
      const uint64_t most = uint64_t{first_} + lastIndex + 1 + (high << low_ | lowMask);
      if (most >= target) break;
    }
    ++byte;
    skipped += c;
  }
  if (byte != byte_) {
    byte_ = byte;
    taken_ += skipped;
    // The low parts of the numbers passed over are passed over too.
    const uint64_t at = uint64_t{taken_} * low_;
    lowBits_ = lowStart_ + at / 8;
    pending_ = 0;
    pendingBits_ = 0;
    if (at % 8) {
      pending_ = *lowBits_++ >> (at % 8);
      pendingBits_ = 8 - static_cast<uint32_t>(at % 8);
    }
    previous_ = 0;  // unknown: the order is checked again from here
  }
}

bool EliasFanoCursor::SkipTo(uint32_t target) {
  if (value_ >= target) return !bad_;
  while (value_ < target) {
    if (bits_ == 0 && !bad_ && taken_ < m_) PassBytesBelow(target);
    if (!Next()) return false;
  }
  return true;
}

bool EliasFanoCursor::EndsExactly() const {
  if (bad_ || taken_ != m_) return false;
  if (m_ == 0) return true;
  // No stray bits after the last low part, nor after the last set high bit,
  // which lies in the last byte.
  if ((lowEnd_ & 7) && (lowBits_[-1] >> (lowEnd_ & 7))) return false;
  return bits_ == 0 && byte_ + 1 == highBytes_;
}

bool DecodeEliasFano(const uint8_t* data, size_t size, uint32_t first, uint32_t n, uint32_t last,
                     uint32_t* out) {
  // The cursor checks the fixed part; the numbers are then read with the
  // same checks as its Next, the high parts a 64-bit word at a time and
  // each low part in one unaligned load.
  EliasFanoCursor cursor;
  if (!cursor.Start(data, size, first, n, last)) return false;
  out[0] = first;
  if (n == 1) return true;
  const uint32_t m = n - 1, low = data[0];
  const uint64_t lowEnd = uint64_t{m} * low, lowBytes = (lowEnd + 7) / 8;
  const uint8_t* lowBits = data + 1;
  const uint8_t* highBits = lowBits + lowBytes;
  const size_t highBytes = size - 1 - static_cast<size_t>(lowBytes);
  const uint64_t lowMask = (uint64_t{1} << low) - 1, mostHigh = uint64_t{last} >> low;
  auto lowPart = [&](uint32_t i) -> uint64_t {
    const uint64_t at = uint64_t{i} * low;
    const size_t byte = static_cast<size_t>(at / 8);
    uint64_t word = 0;
    if (byte + 8 <= size - 1) {
      std::memcpy(&word, lowBits + byte, 8);
    } else {
      for (size_t b = byte; b < static_cast<size_t>(lowBytes); ++b)
        word |= uint64_t{lowBits[b]} << (8 * (b - byte));
    }
    return (word >> (at % 8)) & lowMask;
  };
  uint64_t previous = 0;
  uint32_t i = 0;
  for (size_t w = 0; w < highBytes; w += 8) {
    uint64_t word = 0;
    const size_t take = std::min<size_t>(8, highBytes - w);
    std::memcpy(&word, highBits + w, take);
    for (; word != 0; word &= word - 1) {
      if (i == m) return false;  // more set bits than numbers
      const uint64_t high = w * 8 + static_cast<uint64_t>(__builtin_ctzll(word)) - i;
      if (high > mostHigh) return false;
      const uint64_t y = high << low | lowPart(i);
      const uint64_t value = uint64_t{first} + (i + 1) + y;
      if (y < previous || value > last) return false;
      previous = y;
      out[++i] = static_cast<uint32_t>(value);
      // The last number's bit lies in the block's last byte, nothing after it.
      if (i == m) {
        const uint64_t bit = w * 8 + static_cast<uint64_t>(__builtin_ctzll(word));
        if (bit / 8 != highBytes - 1 || (word & (word - 1)) != 0) return false;
      }
    }
  }
  if (i != m) return false;  // fewer set bits than numbers
  // No stray bits after the last low part.
  return !(lowEnd & 7) || !(lowBits[lowBytes - 1] >> (lowEnd & 7));
}

}  // namespace fts
