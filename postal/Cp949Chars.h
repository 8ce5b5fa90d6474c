#pragma once
// Walking CP949 text a character at a time: a byte below 0x81 is a character
// of its own, a lead byte 0x81..0xFE takes the byte after it. No trail byte
// is an ASCII digit, a blank or a bracket, so those bytes always stand for
// themselves.
#include <cstddef>
#include <string_view>

namespace postal {

inline size_t CharLength(std::string_view text, size_t pos) {
  const auto b = static_cast<unsigned char>(text[pos]);
  return b >= 0x81 && b <= 0xFE && pos + 1 < text.size() ? 2 : 1;
}

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

inline bool HasDigit(std::string_view text) {
  for (char c : text)
    if (IsDigit(c)) return true;
  return false;
}

inline bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// True when text, from pos, starts with the bytes of prefix.
inline bool StartsAt(std::string_view text, size_t pos, std::string_view prefix) {
  return text.substr(pos, prefix.size()) == prefix;
}

}  // namespace postal
