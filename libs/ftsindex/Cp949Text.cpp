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

bool PlanSearch(std::string_view text, SearchPlan& plan) {
  plan.keys.clear();
  plan.exact = true;
  if (!IsWellFormed(text)) {
    plan.exact = false;
    return false;
  }
  std::vector<uint16_t> word;
  auto endWord = [&] {
    if (word.size() == 1) {
      const uint16_t c = word[0];
      plan.keys.push_back(UnigramKey(IsInitialJamo(c) ? ConsonantCode(c) : c));
    }
    // A longer word is looked up by its pairs only: they are far more
    // selective than its characters.
    for (size_t i = 0; i + 1 < word.size(); ++i) {
      const uint16_t a = word[i], b = word[i + 1];
      if (IsInitialJamo(a) || IsInitialJamo(b)) {
        plan.keys.push_back(BigramKey(ConsonantCode(a), ConsonantCode(b)));
        // A syllable's consonant code stands for every syllable of its initial.
        if ((!IsInitialJamo(a) && ConsonantCode(a) != a) ||
            (!IsInitialJamo(b) && ConsonantCode(b) != b))
          plan.exact = false;
      } else {
        plan.keys.push_back(BigramKey(a, b));
      }
    }
    // Two pairs of a word may each occur without the word.
    if (word.size() > 2) plan.exact = false;
    word.clear();
  };
  for (size_t pos = 0; pos < text.size();) {
    const size_t len = CharLength(text, pos);
    if (len == 1 && text[pos] == ' ') {
      endWord();
      ++pos;
      continue;
    }
    word.push_back(FoldedCode(text, pos, len));
    pos += len;
  }
  endWord();
  std::sort(plan.keys.begin(), plan.keys.end());
  plan.keys.erase(std::unique(plan.keys.begin(), plan.keys.end()), plan.keys.end());
  if (plan.keys.empty()) plan.exact = false;
  return true;
}

}  // namespace fts
