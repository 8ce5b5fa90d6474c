#include "postal/FieldCrossings.h"

#include "postal/Cp949Chars.h"

namespace postal {
namespace {

// Digits, ASCII letters, other ASCII, and double-byte characters (Hangul,
// its jamo, symbols).
int ClassOf(std::string_view text, size_t pos) {
  const char c = text[pos];
  if (IsDigit(c)) return 0;
  if (IsAsciiLetter(c)) return 1;
  return CharLength(text, pos) == 1 ? 2 : 3;
}

}  // namespace

void FieldCrossings::Add(const char* record, const std::vector<FieldPlace>& fields) {
  // Of the last character before this field; the deletion flag comes first.
  int lastClass = record[0] == ' ' ? -1 : ClassOf(std::string_view(record, 1), 0);
  for (const FieldPlace& f : fields) {
    const std::string_view text(record + f.offset, static_cast<size_t>(f.width));
    size_t first = 0;
    while (first < text.size() && text[first] == ' ') ++first;
    if (first == text.size()) continue;  // an empty field: its neighbours meet
    if (lastClass >= 0)
      bits_ |= static_cast<uint16_t>(1u << (lastClass * 4 + ClassOf(text, first)));
    // The class of the last character: walk to it on character boundaries.
    size_t last = first;
    for (size_t pos = first; pos < text.size(); pos += CharLength(text, pos))
      if (text[pos] != ' ') last = pos;
    lastClass = ClassOf(text, last);
  }
}

bool FieldCrossings::MayCross(std::string_view word) const {
  int previous = -1;
  for (size_t pos = 0; pos < word.size(); pos += CharLength(word, pos)) {
    if (word[pos] == ' ') continue;
    const int c = ClassOf(word, pos);
    if (previous >= 0 && (bits_ & (1u << (previous * 4 + c)))) return true;
    previous = c;
  }
  return false;
}

}  // namespace postal
