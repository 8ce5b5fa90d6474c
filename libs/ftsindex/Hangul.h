#pragma once
// Initial consonants of Hangul in CP949, for search words typed as initial
// consonants (ㄱㅍ1ㄷ for 개포1동).
#include <array>
#include <cstdint>

namespace fts {

// The initial consonant of every character code (a byte, or lead << 8 |
// trail): 1..19 for ㄱㄲㄴㄷㄸㄹㅁㅂㅃㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎ, of a Hangul syllable (the
// 2,350 of KS X 1001 and the 8,822 that CP949 adds) or of a compatibility
// jamo that is that consonant itself; 0 for every other code. Computed when
// the library is compiled; a build asks it for every character.
extern const std::array<uint8_t, 65536> kInitialOf;
inline uint8_t InitialOf(uint16_t code) {
  return kInitialOf[code];
}

// True for a compatibility jamo (0xA4A1..0xA4BE) that can begin a syllable:
// in a search word it stands for every syllable with that initial.
inline bool IsInitialJamo(uint16_t code) {
  return code >= 0xA4A1 && code <= 0xA4BE && InitialOf(code) != 0;
}

// The code a character has in the consonant keys: 0x0100 | initial for a
// syllable or an initial-consonant jamo, the code itself for every other
// character. 0x0101..0x0113 is no character's code.
inline uint16_t ConsonantCode(uint16_t code) {
  const uint8_t initial = InitialOf(code);
  return initial ? static_cast<uint16_t>(0x0100 | initial) : code;
}

}  // namespace fts
