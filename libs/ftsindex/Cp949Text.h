#pragma once
// How a CP949 byte string is cut into characters and keys.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "libs/ftsindex/Hangul.h"

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

// The code of the character of length len at text[pos], ASCII letters folded
// to lower case.
inline uint16_t FoldedCode(std::string_view text, size_t pos, size_t len) {
  const auto b = static_cast<uint8_t>(text[pos]);
  if (len == 2) return static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(text[pos + 1]));
  return (b >= 'A' && b <= 'Z') ? static_cast<uint16_t>(b + 32) : b;
}

// Three ASCII characters (codes below 0x80) a, b, c: (0x0200 | a) << 16 |
// b << 8 | c. 0x0201..0x027F begins no character or pair key.
inline bool IsAsciiCode(uint16_t c) {
  return c < 0x80;
}
inline Key TrigramKey(uint16_t a, uint16_t b, uint16_t c) {
  return static_cast<Key>(0x0200 | a) << 16 | static_cast<Key>(b) << 8 | c;
}

// Three consonant codes 0x0100 | i, 0x0100 | j, 0x0100 | k: (0x0300 | i) <<
// 16 | j << 8 | k. 0x0301..0x0313 begins no other key.
inline bool IsConsonantCode(uint16_t c) {
  return c > 0x0100 && c <= 0x0113;
}
inline Key ConsonantTrigramKey(uint16_t a, uint16_t b, uint16_t c) {
  return static_cast<Key>(0x0300 | (a & 0xFF)) << 16 | static_cast<Key>(b & 0xFF) << 8 | (c & 0xFF);
}

// Calls emit(key) for the keys of a record (a key may repeat). Blanks (the
// space) separate nothing: the characters that remain without them follow
// one another, so that a word finds its characters across blanks.
// - every character c: c; a Hangul syllable or initial-consonant jamo also
//   its consonant code k(c) (Hangul.h);
// - every two characters c, d that follow one another: (c, d); when either
//   is a syllable or an initial-consonant jamo, also (k(c), k(d)); when both
//   are, also (c, k(d));
// - every three ASCII characters that follow one another;
// - every three syllables or initial-consonant jamo that follow one
//   another: their three consonant codes.
template <typename Emit>
void ForEachRecordKey(std::string_view record, Emit&& emit) {
  uint16_t prev = 0, prevConsonant = 0, beforePrev = 0, beforePrevConsonant = 0;
  for (size_t pos = 0; pos < record.size();) {
    const size_t len = CharLength(record, pos);
    if (len == 1 && record[pos] == ' ') {
      pos += 1;
      continue;
    }
    const uint16_t code = FoldedCode(record, pos, len);
    const uint16_t consonant = ConsonantCode(code);
    emit(UnigramKey(code));
    if (consonant != code) emit(UnigramKey(consonant));
    if (prev != 0) {
      emit(BigramKey(prev, code));
      if (consonant != code || prevConsonant != prev) emit(BigramKey(prevConsonant, consonant));
      if (consonant != code && prevConsonant != prev) emit(BigramKey(prev, consonant));
      if (beforePrev != 0 && IsAsciiCode(beforePrev) && IsAsciiCode(prev) && IsAsciiCode(code))
        emit(TrigramKey(beforePrev, prev, code));
      if (IsConsonantCode(beforePrevConsonant) && IsConsonantCode(prevConsonant) &&
          IsConsonantCode(consonant))
        emit(ConsonantTrigramKey(beforePrevConsonant, prevConsonant, consonant));
    }
    beforePrev = prev;
    beforePrevConsonant = prevConsonant;
    prev = code;
    prevConsonant = consonant;
    pos += len;
  }
}

// The keys a search text asks for, sorted and without repeats, per word:
// - one character: its own key; an initial-consonant jamo its consonant key;
// - longer: every three adjacent ASCII characters, and every three adjacent
//   initial-consonant jamo; every other two adjacent characters a, b:
//   (a, b), or when b is an initial-consonant jamo (a, k(b)), or when a is
//   one (k(a), k(b)).
// A record that matches the text (Matcher.h, mode 3) holds every one of them.
struct SearchPlan {
  std::vector<Key> keys;
  // True when the records holding every key are exactly those that match:
  // every word has one or two characters, or three ASCII ones or three
  // initial-consonant jamo, and no key stands for more than the word (an
  // initial-consonant jamo before a syllable does).
  bool exact = false;
};
// Returns false when the text is not well-formed CP949.
bool PlanSearch(std::string_view text, SearchPlan& plan);

}  // namespace fts
