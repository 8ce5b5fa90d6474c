#include "libs/ftsindex/Cp949Text.h"

#include <algorithm>
#include <string>

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

void FoldCase(std::string_view text, std::string& out) {
  out.assign(text.data(), text.size());
  for (size_t pos = 0; pos < out.size();) {
    const size_t len = CharLength(out, pos);
    auto& c = out[pos];
    if (len == 1 && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    pos += len;
  }
}

bool SearchKeys(std::string_view text, std::vector<Key>& keys) {
  keys.clear();
  if (!IsWellFormed(text)) return false;
  // A word of one character is looked up by that character, a longer word by
  // its pairs only: they are far more selective.
  uint16_t prev = 0;
  bool wordHasPair = false;
  auto endWord = [&] {
    if (prev != 0 && !wordHasPair) keys.push_back(UnigramKey(prev));
    prev = 0;
    wordHasPair = false;
  };
  for (size_t pos = 0; pos < text.size();) {
    const size_t len = CharLength(text, pos);
    auto b = static_cast<uint8_t>(text[pos]);
    if (len == 1 && b == ' ') {
      endWord();
      ++pos;
      continue;
    }
    uint16_t code;
    if (len == 2) {
      code = static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(text[pos + 1]));
    } else {
      if (b >= 'A' && b <= 'Z') b = static_cast<uint8_t>(b + 32);
      code = b;
    }
    if (prev != 0) {
      keys.push_back(BigramKey(prev, code));
      wordHasPair = true;
    }
    prev = code;
    pos += len;
  }
  endWord();
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  return true;
}

}  // namespace fts
