#include "libs/ftsindex/Hangul.h"

#include <array>

namespace fts {
namespace {

// Both sets of syllables are stored in Unicode order, so the initial
// consonant only ever grows along each; these are the codes where each of
// the 19 initials begins.
constexpr uint16_t kKsFirst[19] = {0xB0A1, 0xB1EE, 0xB3AA, 0xB4D9, 0xB5FB, 0xB6F3, 0xB8B6,
                                   0xB9D9, 0xBAFC, 0xBBE7, 0xBDCE, 0xBEC6, 0xC0DA, 0xC2A5,
                                   0xC2F7, 0xC4AB, 0xC5B8, 0xC6C4, 0xC7CF};
constexpr uint16_t kExtendedFirst[19] = {0x8141, 0x838A, 0x85FA, 0x88A3, 0x8B4D, 0x8DEB, 0x90A2,
                                         0x934B, 0x95BE, 0x98AB, 0x9AF0, 0x9DD0, 0x9FE8, 0xA441,
                                         0xAA43, 0xAF87, 0xB56A, 0xBB4E, 0xC099};
// 0xA4A1..0xA4BE: ㄱ ㄲ ㄳ ㄴ ㄵ ㄶ ㄷ ㄸ ㄹ ㄺ ㄻ ㄼ ㄽ ㄾ ㄿ ㅀ ㅁ ㅂ ㅃ ㅄ ㅅ ㅆ ㅇ ㅈ ㅉ ㅊ ㅋ
// ㅌ ㅍ ㅎ
constexpr uint8_t kJamoInitial[30] = {1, 2, 0, 3, 0, 0,  4,  5,  6,  0,  0,  0,  0,  0,  0,
                                      0, 7, 8, 9, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};

constexpr bool IsTrail(unsigned t) {
  return (t >= 0x41 && t <= 0x5A) || (t >= 0x61 && t <= 0x7A) || (t >= 0x81 && t <= 0xFE);
}

constexpr uint8_t Position(const uint16_t (&first)[19], uint16_t code) {
  uint8_t n = 0;
  while (n < 19 && first[n] <= code) ++n;
  return n;
}

constexpr uint8_t ComputeInitial(uint16_t code) {
  const unsigned lead = code >> 8, trail = code & 0xFF;
  if (!IsTrail(trail)) return 0;
  if (lead >= 0xB0 && lead <= 0xC8 && trail >= 0xA1) return Position(kKsFirst, code);
  // CP949's additions: every pair with lead 0x81..0xA0, and with lead
  // 0xA1..0xC6 every trail up to 0xA0 (0xC652 is the last syllable).
  const bool extended = (lead >= 0x81 && lead <= 0xA0) ||
                        (lead >= 0xA1 && lead <= 0xC5 && trail <= 0xA0) ||
                        (lead == 0xC6 && trail <= 0x52);
  if (extended) return Position(kExtendedFirst, code);
  if (lead == 0xA4 && trail >= 0xA1 && trail <= 0xBE) return kJamoInitial[trail - 0xA1];
  return 0;
}

constexpr std::array<uint8_t, 65536> MakeInitialTable() {
  std::array<uint8_t, 65536> t{};
  for (unsigned c = 0x8100; c < 0x10000; ++c) t[c] = ComputeInitial(static_cast<uint16_t>(c));
  return t;
}

}  // namespace

constexpr std::array<uint8_t, 65536> kInitialOf = MakeInitialTable();

}  // namespace fts
