#pragma once
// The keys of the index: those of a record, and those a search text asks for.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "libs/ftsindex/Cp949Chars.h"
#include "libs/ftsindex/Hangul.h"

namespace fts {

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
