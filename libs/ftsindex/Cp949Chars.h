#pragma once
// How a CP949 byte string is cut into characters.
#include <cstddef>
#include <cstdint>
#include <string_view>

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

// The code of the character of length len at text[pos], ASCII letters folded
// to lower case.
inline uint16_t FoldedCode(std::string_view text, size_t pos, size_t len) {
  const auto b = static_cast<uint8_t>(text[pos]);
  if (len == 2) return static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(text[pos + 1]));
  return (b >= 'A' && b <= 'Z') ? static_cast<uint16_t>(b + 32) : b;
}

}  // namespace fts
