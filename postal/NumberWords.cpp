#include "postal/NumberWords.h"

#include <memory>
#include <string>

#include "platform/Cp949Codec.h"
#include "postal/Cp949Chars.h"

namespace postal {
namespace {

// The words of numbers, in CP949.
struct Words {
  std::string underground = platform::Cp949FromUtf8("지하");
  std::string mountain = platform::Cp949FromUtf8("산");
  std::string block = platform::Cp949FromUtf8("동");
  std::string lot = platform::Cp949FromUtf8("번지");
  std::string lotShort = platform::Cp949FromUtf8("번");
  std::string to = platform::Cp949FromUtf8("∼");  // U+223C, as the tables write ranges
  std::string odd = platform::Cp949FromUtf8("(홀수)");
  std::string even = platform::Cp949FromUtf8("(짝수)");
};

const Words& W() {
  static const std::unique_ptr<Words> words = std::make_unique<Words>();
  return *words;
}

// Digits at pos as a number, pos moved past them; nothing without a digit.
// More than nine digits are no number of an address.
std::optional<int64_t> Digits(std::string_view s, size_t& pos) {
  const size_t start = pos;
  int64_t value = 0;
  while (pos < s.size() && IsDigit(s[pos])) value = value * 10 + (s[pos++] - '0');
  if (pos == start || pos - start > 9) return std::nullopt;
  return value;
}

bool Take(std::string_view s, size_t& pos, std::string_view what) {
  if (!StartsAt(s, pos, what)) return false;
  pos += what.size();
  return true;
}

// One end of a range: main[-sub] or main-(sub[∼sub]).
struct End {
  int64_t main = 0;
  int64_t subLo = -1, subHi = -1;
};

std::optional<End> ParseEnd(std::string_view s, size_t& pos) {
  End e;
  const auto main = Digits(s, pos);
  if (!main) return std::nullopt;
  e.main = *main;
  if (pos < s.size() && s[pos] == '-') {
    size_t p = pos + 1;
    const bool bracketed = p < s.size() && s[p] == '(';
    if (bracketed) ++p;
    const auto lo = Digits(s, p);
    if (!lo) return e;  // "12-" then something else: the number stands alone
    e.subLo = e.subHi = *lo;
    if (bracketed) {
      if (Take(s, p, W().to)) {
        const auto hi = Digits(s, p);
        if (!hi) return std::nullopt;
        e.subHi = *hi;
      }
      if (p >= s.size() || s[p] != ')') return std::nullopt;
      ++p;
    }
    pos = p;
  }
  return e;
}

// A lot or building range filling a whole word; false for any other word.
bool ParseNumberRange(std::string_view word, NumberRange* r) {
  size_t pos = 0;
  r->mountain = Take(word, pos, W().mountain);
  const auto first = ParseEnd(word, pos);
  if (!first) return false;
  End last = *first;
  r->single = true;
  if (Take(word, pos, W().to)) {
    r->single = false;
    const auto second = ParseEnd(word, pos);
    if (!second) return false;
    last = *second;
  }
  // A trailing 번지 or a comma belongs to the word, not to the number.
  if (!Take(word, pos, W().lot)) Take(word, pos, W().lotShort);
  if (pos < word.size() && word[pos] == ',') ++pos;
  if (pos != word.size()) return false;
  r->loMain = first->main;
  r->loSub = first->subLo < 0 ? 0 : first->subLo;
  r->hiMain = last.main;
  r->hiSub = last.subHi < 0 ? kAnySub : last.subHi;
  return r->loMain < r->hiMain || (r->loMain == r->hiMain && r->loSub <= r->hiSub);
}

// One end of a block range: a number or a Latin letter.
bool ParseBlockEnd(std::string_view s, size_t& pos, bool* letter, int64_t* value) {
  if (pos < s.size() && IsAsciiLetter(s[pos])) {
    *letter = true;
    *value = s[pos] & ~0x20;  // upper case
    ++pos;
    return true;
  }
  *letter = false;
  const auto number = Digits(s, pos);
  if (!number) return false;
  *value = *number;
  return true;
}

// "(17∼40동)", "(3동)", "(A∼D동)".
bool ParseBlockRange(std::string_view word, NumberRange* r) {
  const std::string_view suffix = W().block;
  if (word.size() < 2 + suffix.size() || word.front() != '(' || word.back() != ')') return false;
  const std::string_view body = word.substr(1, word.size() - 2);
  if (body.substr(body.size() - suffix.size()) != suffix) return false;
  const std::string_view ends = body.substr(0, body.size() - suffix.size());
  size_t pos = 0;
  bool loLetter = false, hiLetter = false;
  int64_t lo = 0, hi = 0;
  if (!ParseBlockEnd(ends, pos, &loLetter, &lo)) return false;
  hi = lo;
  hiLetter = loLetter;
  if (Take(ends, pos, W().to) && !ParseBlockEnd(ends, pos, &hiLetter, &hi)) return false;
  if (pos != ends.size() || loLetter != hiLetter || lo > hi) return false;
  r->block = true;
  r->letters = loLetter;
  r->loMain = lo;
  r->hiMain = hi;
  r->loSub = 0;
  r->hiSub = kAnySub;
  return true;
}

bool IsParity(std::string_view word, NumberRange::Parity* parity) {
  if (word == W().odd || word == "(odd)") {
    *parity = NumberRange::Parity::kOdd;
    return true;
  }
  if (word == W().even || word == "(even)") {
    *parity = NumberRange::Parity::kEven;
    return true;
  }
  return false;
}

// Calls visit(word, begin) for every blank-separated word of text.
template <typename Visit>
void ForEachWord(std::string_view text, Visit&& visit) {
  for (size_t pos = 0; pos < text.size();) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const size_t begin = pos;
    while (pos < text.size() && text[pos] != ' ') ++pos;
    if (pos > begin) visit(text.substr(begin, pos - begin), begin);
  }
}

}  // namespace

std::optional<NumberWord> ParseNumberWord(std::string_view word) {
  NumberWord n;
  size_t pos = 0;
  n.underground = Take(word, pos, W().underground);
  if (pos + 1 < word.size() && IsAsciiLetter(word[pos]) && !n.underground &&
      word.substr(pos + 1) == W().block) {
    n.letter = static_cast<char>(word[pos] & ~0x20);
    n.block = true;
    return n;
  }
  n.mountain = Take(word, pos, W().mountain);
  const auto main = Digits(word, pos);
  if (!main) return std::nullopt;
  n.main = *main;
  if (pos < word.size() && word[pos] == '-') {
    ++pos;
    const auto sub = Digits(word, pos);
    if (!sub) return std::nullopt;
    n.sub = *sub;
  }
  if (Take(word, pos, W().block)) {
    n.block = true;
  } else if (!Take(word, pos, W().lot)) {
    Take(word, pos, W().lotShort);
  }
  if (pos != word.size()) return std::nullopt;
  if (n.block && (n.mountain || n.sub >= 0)) return std::nullopt;
  return n;
}

std::vector<NumberRange> RangesIn(std::string_view field) {
  std::vector<NumberRange> ranges;
  bool underground = false;  // the word before was 지하
  bool lastWasRange = false;
  ForEachWord(field, [&](std::string_view word, size_t begin) {
    NumberRange r;
    NumberRange::Parity parity;
    if (lastWasRange && IsParity(word, &parity)) {
      ranges.back().parity = parity;
      ranges.back().end = begin + word.size();
      lastWasRange = false;
      return;
    }
    lastWasRange = false;
    // The English address writes 지하 as Jiha.
    if (word == W().underground || word == "Jiha" || word == "jiha" || word == "JIHA") {
      underground = true;
      return;
    }
    if (ParseBlockRange(word, &r) || ParseNumberRange(word, &r)) {
      r.underground = underground && !r.block;
      r.begin = begin;
      r.end = begin + word.size();
      ranges.push_back(r);
      lastWasRange = !r.block;
    }
    underground = false;
  });
  return ranges;
}

bool Holds(const NumberRange& r, const NumberWord& n) {
  if (r.block != n.block || r.underground != n.underground || r.mountain != n.mountain)
    return false;
  if (r.letters != (n.letter != 0)) return false;
  if (r.letters) return r.loMain <= n.letter && n.letter <= r.hiMain;
  if (r.parity == NumberRange::Parity::kOdd && n.main % 2 == 0) return false;
  if (r.parity == NumberRange::Parity::kEven && n.main % 2 != 0) return false;
  if (n.sub < 0) return r.loMain <= n.main && n.main <= r.hiMain;
  const auto pairLess = [](int64_t am, int64_t as, int64_t bm, int64_t bs) {
    return am < bm || (am == bm && as < bs);
  };
  return !pairLess(n.main, n.sub, r.loMain, r.loSub) && !pairLess(r.hiMain, r.hiSub, n.main, n.sub);
}

bool HasNumber(std::string_view field) {
  if (!RangesIn(field).empty()) return true;
  bool any = false;
  ForEachWord(field, [&](std::string_view word, size_t) {
    size_t pos = 0;
    Take(word, pos, W().mountain);
    if (pos < word.size() && word[pos] == '(') ++pos;
    any = any || (pos < word.size() && IsDigit(word[pos]));
  });
  return any;
}

}  // namespace postal
