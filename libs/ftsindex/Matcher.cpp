#include "libs/ftsindex/Matcher.h"

#include "libs/ftsindex/Cp949Text.h"
#include "libs/ftsindex/ftsindex.h"

namespace fts {

int32_t Verify(Matcher& matcher, std::string_view record, std::string_view text, int mode) {
  if (mode < 1 || mode > 3) return FTS_ERR_ARG;
  if (text.size() > FTS_MAX_TEXT) return FTS_ERR_TOO_LONG;
  if (!matcher.IsPreparedFor(text, mode)) matcher.Prepare(text, mode);
  return matcher.Matches(record) ? 1 : 0;
}

bool ContainsAtBoundary(std::string_view hay, std::string_view needle) {
  if (needle.empty()) return true;
  size_t walked = 0;  // a character boundary at or before every later hit
  for (size_t from = 0;;) {
    const size_t hit = hay.find(needle, from);
    if (hit == std::string_view::npos) return false;
    while (walked < hit) walked += CharLength(hay, walked);
    if (walked == hit) return true;
    from = hit + 1;
  }
}

static bool HasAsciiLetter(std::string_view text) {
  for (size_t pos = 0; pos < text.size();) {
    const size_t len = CharLength(text, pos);
    const char c = text[pos];
    if (len == 1 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return true;
    pos += len;
  }
  return false;
}

bool Matcher::Prepare(std::string_view text, int mode) {
  prepared_ = true;
  mode_ = mode;
  text_.assign(text.data(), text.size());
  needles_.clear();
  valid_ = IsWellFormed(text);
  if (!valid_) return false;
  if (mode == 3) {
    for (size_t pos = 0; pos < text.size();) {
      while (pos < text.size() && text[pos] == ' ') ++pos;
      size_t end = pos;
      while (end < text.size() && text[end] != ' ') ++end;
      if (end > pos) needles_.emplace_back(text.substr(pos, end - pos));
      pos = end;
    }
  } else {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    if (e > b) needles_.emplace_back(text.substr(b, e - b));
  }
  foldCase_ = false;
  if (mode != 1) {
    for (auto& n : needles_) {
      if (HasAsciiLetter(n)) {
        foldCase_ = true;
        std::string folded;
        FoldCase(n, folded);
        n = std::move(folded);
      }
    }
  }
  return true;
}

bool Matcher::Matches(std::string_view record) {
  if (!valid_ || needles_.empty()) return false;
  std::string_view hay = record;
  if (foldCase_) {
    FoldCase(record, folded_);
    hay = folded_;
  }
  for (const auto& n : needles_)
    if (!ContainsAtBoundary(hay, n)) return false;
  return true;
}

}  // namespace fts
