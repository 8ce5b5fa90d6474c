#pragma once
// How a CP949 byte string is cut into characters and keys.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fts {

inline bool IsLeadByte(uint8_t b) {
  return b >= 0x81 && b <= 0xFE;
}
inline bool IsTrailByte(uint8_t b) {
  return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || (b >= 0x81 && b <= 0xFE);
}

// Length in bytes of the character at text[pos] (pos < text.size()). A lead
// byte without a valid trail byte after it, 0x80 and 0xFF count as one-byte
// characters so that every record can be cut.
inline size_t CharLength(std::string_view text, size_t pos) {
  const auto b = static_cast<uint8_t>(text[pos]);
  if (b < 0x80) return 1;
  if (IsLeadByte(b) && pos + 1 < text.size() && IsTrailByte(static_cast<uint8_t>(text[pos + 1])))
    return 2;
  return 1;
}

// True when text is well-formed CP949 (every byte of 0x80 and above belongs
// to a lead/trail pair).
bool IsWellFormed(std::string_view text);

// ASCII letters of one-byte characters in lower case; trail bytes unchanged.
void FoldCase(std::string_view text, std::string& out);

// A character as a 16-bit code: the byte, or lead << 8 | trail; ASCII folded.
// Keys: a character c alone is c << 16, a pair (c, d) is c << 16 | d. Codes
// are never 0, so the two kinds never collide.
using Key = uint32_t;
inline Key UnigramKey(uint16_t c) {
  return static_cast<Key>(c) << 16;
}
inline Key BigramKey(uint16_t c, uint16_t d) {
  return static_cast<Key>(c) << 16 | d;
}
inline bool IsUnigram(Key k) {
  return (k & 0xFFFF) == 0;
}

// Calls emit(key) for every character and adjacent pair inside each run of
// non-space characters of the record (a key may repeat).
template <typename Emit>
void ForEachRecordKey(std::string_view record, Emit&& emit) {
  uint16_t prev = 0;
  for (size_t pos = 0; pos < record.size();) {
    const size_t len = CharLength(record, pos);
    auto b = static_cast<uint8_t>(record[pos]);
    uint16_t code;
    if (len == 2) {
      code = static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(record[pos + 1]));
    } else {
      if (b == ' ') {
        prev = 0;
        pos += 1;
        continue;
      }
      if (b >= 'A' && b <= 'Z') b = static_cast<uint8_t>(b + 32);
      code = b;
    }
    emit(UnigramKey(code));
    if (prev != 0) emit(BigramKey(prev, code));
    prev = code;
    pos += len;
  }
}

// The keys a search text asks for: per word its character (one-character
// word) or all its adjacent pairs; sorted, without repeats. Returns false when
// the text is not well-formed CP949.
bool SearchKeys(std::string_view text, std::vector<Key>& keys);

}  // namespace fts
