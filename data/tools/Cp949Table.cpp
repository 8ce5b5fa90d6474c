#include "Cp949Table.h"

#include <iconv.h>

#include <bitset>
#include <memory>
#include <vector>

namespace postal {
namespace {

struct Tables {
  std::bitset<65536> assigned;
  std::vector<uint16_t> fromUnicode = std::vector<uint16_t>(65536, 0);
};

bool IsTrail(unsigned b) {
  return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || b >= 0x81;
}

// Decodes every candidate pair once; a pair that glibc's table does not map
// stays unassigned. Without the converter every well-formed pair counts as
// assigned (a structural check only) and no character converts from Unicode.
const Tables& GetTables() {
  static const std::unique_ptr<Tables> tables = [] {
    auto t = std::make_unique<Tables>();
    iconv_t cd = iconv_open("UTF-32LE", "CP949");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
      for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
        for (unsigned trail = 0x41; trail <= 0xFE; ++trail)
          if (IsTrail(trail)) t->assigned.set(lead << 8 | trail);
      return t;
    }
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x41; trail <= 0xFE; ++trail) {
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        unsigned char out[8];
        char* inp = in;
        char* outp = reinterpret_cast<char*>(out);
        size_t inLeft = 2, outLeft = sizeof out;
        const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        if (r == static_cast<size_t>(-1) || inLeft != 0 || outLeft != 4) {
          iconv(cd, nullptr, nullptr, nullptr, nullptr);
          continue;
        }
        const char32_t ch =
            out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
        const auto code = static_cast<uint16_t>(lead << 8 | trail);
        t->assigned.set(code);
        // The first code of a character wins, should two codes decode alike.
        if (ch < 0x10000 && ch >= 0x80 && t->fromUnicode[ch] == 0) t->fromUnicode[ch] = code;
      }
    }
    iconv_close(cd);
    return t;
  }();
  return *tables;
}

}  // namespace

bool Cp949Assigned(uint8_t lead, uint8_t trail) {
  return GetTables().assigned.test(static_cast<size_t>(lead << 8 | trail));
}

uint16_t Cp949Code(char32_t ch) {
  if (ch < 0x80) return static_cast<uint16_t>(ch);
  if (ch >= 0x10000) return 0;
  return GetTables().fromUnicode[ch];
}

}  // namespace postal
