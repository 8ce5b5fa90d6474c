#include "libs/ftsindex/Cp949Chars.h"

namespace fts {

bool IsWellFormed(std::string_view text) {
  for (size_t pos = 0; pos < text.size();) {
    const auto b = static_cast<uint8_t>(text[pos]);
    if (b < 0x80) {
      ++pos;
    } else if (CharLength(text, pos) == 2) {
      pos += 2;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace fts
