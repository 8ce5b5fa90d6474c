#include "libs/ftsindex/IndexKeys.h"

#include <algorithm>
#include <string>

namespace fts {

namespace {

// The keys of one word (at least one character) into plan.
void PlanWord(const std::vector<uint16_t>& word, SearchPlan& plan) {
  const size_t n = word.size();
  if (n == 1) {
    const uint16_t c = word[0];
    plan.keys.push_back(UnigramKey(IsInitialJamo(c) ? ConsonantCode(c) : c));
    return;
  }
  // A longer word is looked up by its pairs and triples only: they are far
  // more selective than its characters.
  auto ascii = [&](size_t i) { return i < n && IsAsciiCode(word[i]); };
  auto jamo = [&](size_t i) { return i < n && IsInitialJamo(word[i]); };
  // Three in a row of either kind have a key of their own, and the pairs
  // inside such a run are in its triples.
  auto tripleAt = [&](size_t i) {
    return (ascii(i) && ascii(i + 1) && ascii(i + 2)) || (jamo(i) && jamo(i + 1) && jamo(i + 2));
  };
  auto inTriple = [&](size_t i) {  // the pair (i, i + 1)
    return tripleAt(i) || (i > 0 && tripleAt(i - 1));
  };
  bool exact = n == 2 || (n == 3 && tripleAt(0));
  for (size_t i = 0; i + 1 < n; ++i) {
    if (tripleAt(i)) {
      plan.keys.push_back(ascii(i) ? TrigramKey(word[i], word[i + 1], word[i + 2])
                                   : ConsonantTrigramKey(ConsonantCode(word[i]),
                                                         ConsonantCode(word[i + 1]),
                                                         ConsonantCode(word[i + 2])));
      continue;
    }
    if (inTriple(i)) continue;
    const uint16_t a = word[i], b = word[i + 1];
    if (IsInitialJamo(a)) {
      plan.keys.push_back(BigramKey(ConsonantCode(a), ConsonantCode(b)));
      // k(b) of a syllable stands for every syllable of its initial.
      if (!IsInitialJamo(b) && ConsonantCode(b) != b) exact = false;
    } else if (IsInitialJamo(b)) {
      plan.keys.push_back(BigramKey(a, ConsonantCode(b)));
    } else {
      plan.keys.push_back(BigramKey(a, b));
    }
  }
  if (!exact) plan.exact = false;
}

}  // namespace

bool PlanSearch(std::string_view text, SearchPlan& plan) {
  plan.keys.clear();
  plan.exact = true;
  if (!IsWellFormed(text)) {
    plan.exact = false;
    return false;
  }
  std::vector<uint16_t> word;
  for (size_t pos = 0; pos <= text.size();) {
    const size_t len = pos < text.size() ? CharLength(text, pos) : 1;
    if (pos == text.size() || (len == 1 && text[pos] == ' ')) {
      if (!word.empty()) PlanWord(word, plan);
      word.clear();
      ++pos;
      continue;
    }
    word.push_back(FoldedCode(text, pos, len));
    pos += len;
  }
  std::sort(plan.keys.begin(), plan.keys.end());
  plan.keys.erase(std::unique(plan.keys.begin(), plan.keys.end()), plan.keys.end());
  if (plan.keys.empty()) plan.exact = false;
  return true;
}

}  // namespace fts
