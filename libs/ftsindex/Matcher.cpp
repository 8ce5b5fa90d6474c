#include "libs/ftsindex/Matcher.h"

#include <cstring>

#include "libs/ftsindex/Cp949Chars.h"
#include "libs/ftsindex/Hangul.h"
#include "libs/ftsindex/ftsindex.h"

namespace fts {
namespace {

bool IsAsciiLetter(uint16_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

int32_t Verify(Matcher& matcher, std::string_view record, std::string_view text, int mode) {
  if (mode < 1 || mode > 3) return FTS_ERR_ARG;
  if (text.size() > FTS_MAX_TEXT) return FTS_ERR_TOO_LONG;
  if (!matcher.IsPreparedFor(text, mode)) matcher.Prepare(text, mode);
  return matcher.Matches(record) ? 1 : 0;
}

bool Matcher::Prepare(std::string_view text, int mode) {
  prepared_ = true;
  mode_ = mode;
  text_.assign(text.data(), text.size());
  words_.clear();
  foldCase_ = mode != 1;
  skipBlanks_ = mode == 3;
  valid_ = IsWellFormed(text);
  if (!valid_) return false;
  auto addWord = [&](std::string_view w) {
    Word word;
    for (size_t pos = 0; pos < w.size();) {
      const size_t len = CharLength(w, pos);
      const uint16_t code = CodeAt(w, pos, len);
      const bool wildcard = mode == 3 && IsInitialJamo(code);
      word.push_back(PatternChar{code, wildcard ? InitialOf(code) : uint8_t{0}});
      pos += len;
    }
    if (!word.empty()) words_.push_back(std::move(word));
  };
  if (mode == 3) {
    for (size_t pos = 0; pos < text.size();) {
      while (pos < text.size() && text[pos] == ' ') ++pos;
      size_t end = pos;
      while (end < text.size() && text[end] != ' ') ++end;
      addWord(text.substr(pos, end - pos));
      pos = end;
    }
  } else {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    addWord(text.substr(b, e - b));
  }
  return true;
}

uint16_t Matcher::CodeAt(std::string_view record, size_t pos, size_t len) const {
  if (foldCase_) return FoldedCode(record, pos, len);
  const auto b = static_cast<uint8_t>(record[pos]);
  return len == 2 ? static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(record[pos + 1])) : b;
}

bool Matcher::CharMatches(const PatternChar& p, uint16_t code) const {
  return p.initial ? InitialOf(code) == p.initial : code == p.code;
}

bool Matcher::MatchAt(std::string_view record, size_t pos, const Word& word, size_t& end,
                      std::vector<uint8_t>* marks) const {
  size_t at = pos;
  for (size_t k = 0; k < word.size(); ++k) {
    if (k > 0 && skipBlanks_)
      while (at < record.size() && record[at] == ' ') ++at;
    if (at >= record.size()) return false;
    const size_t len = CharLength(record, at);
    if (!CharMatches(word[k], CodeAt(record, at, len))) return false;
    if (marks) std::memset(marks->data() + at, 1, len);
    at += len;
  }
  end = at;
  return true;
}

template <typename Visit>
void Matcher::ForEachOccurrence(std::string_view record, const Word& word, Visit&& visit) const {
  const PatternChar& first = word[0];
  // A first character of fixed bytes is looked for with memchr; the walk
  // over the character boundaries only catches up with each hit.
  const bool byteScan = first.initial == 0 && !(foldCase_ && IsAsciiLetter(first.code));
  const auto firstByte = static_cast<uint8_t>(first.code > 0xFF ? first.code >> 8 : first.code);
  const char* data = record.data();
  const size_t n = record.size();
  for (size_t pos = 0; pos < n;) {
    if (byteScan) {
      const void* hit = std::memchr(data + pos, firstByte, n - pos);
      if (!hit) return;
      const auto h = static_cast<size_t>(static_cast<const char*>(hit) - data);
      while (pos < h) pos += CharLength(record, pos);
      if (pos != h) continue;  // the byte lies inside a character
    }
    const size_t len = CharLength(record, pos);
    size_t end = 0;
    if (CharMatches(first, CodeAt(record, pos, len)) && MatchAt(record, pos, word, end, nullptr) &&
        !visit(pos, end))
      return;
    pos += len;
  }
}

bool Matcher::Matches(std::string_view record) const {
  if (!valid_ || words_.empty()) return false;
  for (const Word& w : words_) {
    bool found = false;
    ForEachOccurrence(record, w, [&](size_t, size_t) {
      found = true;
      return false;
    });
    if (!found) return false;
  }
  return true;
}

void Matcher::Spans(std::string_view record, std::vector<ByteSpan>& out) const {
  out.clear();
  if (!valid_ || words_.empty()) return;
  std::vector<uint8_t> marks(record.size(), 0);
  for (const Word& w : words_) {
    bool found = false;
    ForEachOccurrence(record, w, [&](size_t pos, size_t) {
      size_t end = 0;
      MatchAt(record, pos, w, end, &marks);
      found = true;
      return true;
    });
    if (!found) return;
  }
  for (size_t i = 0; i < marks.size();) {
    if (!marks[i]) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < marks.size() && marks[j]) ++j;
    out.emplace_back(static_cast<uint32_t>(i), static_cast<uint32_t>(j));
    i = j;
  }
}

}  // namespace fts
