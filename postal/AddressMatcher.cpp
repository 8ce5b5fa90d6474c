#include "postal/AddressMatcher.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "postal/Cp949Chars.h"

namespace postal {
namespace {

bool IsCodeField(const std::string& name) {
  return strcasecmp(name.c_str(), "ZIPCODE") == 0 || strcasecmp(name.c_str(), "DDD") == 0;
}

bool HasWideChar(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
}

// The text of a field as the library reads it: up to a zero byte, without
// the blanks that pad it.
std::string_view FieldBytes(const char* record, int32_t size, const FieldPlace& f) {
  if (f.offset >= size) return {};
  std::string_view text(record + f.offset, static_cast<size_t>(std::min(f.width, size - f.offset)));
  text = text.substr(0, text.find('\0'));
  return TrimTrailingBlanks(text);
}

// The start of a whole-word occurrence of word in text, or npos.
size_t WholeWordAt(std::string_view text, std::string_view word) {
  for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
    const size_t end = at + word.size();
    if ((at == 0 || text[at - 1] == ' ') && (end == text.size() || text[end] == ' ')) return at;
  }
  return std::string_view::npos;
}

bool EndsWithWord(std::string_view text, std::string_view word) {
  if (word.empty() || text.size() < word.size()) return false;
  return strncasecmp(text.data() + text.size() - word.size(), word.data(), word.size()) == 0;
}

bool SameByteNoCase(char a, char b) {
  return a == b || (IsAsciiLetter(a) && IsAsciiLetter(b) && (a | 0x20) == (b | 0x20));
}

constexpr int32_t kMaxSpans = 256;

}  // namespace

std::string MarkDigitRuns(std::string_view text, bool openEnd, std::vector<int32_t>* origin) {
  std::string out;
  MarkDigitRunsInto(text, openEnd, origin, out);
  return out;
}

void MarkDigitRunsInto(std::string_view text, bool openEnd, std::vector<int32_t>* origin,
                       std::string& out) {
  out.clear();
  out.reserve(text.size() + 8);
  if (origin) origin->clear();
  auto put = [&](char c, size_t from) {
    out += c;
    if (origin) origin->push_back(static_cast<int32_t>(from));
  };
  for (size_t pos = 0; pos < text.size();) {
    if (!IsDigit(text[pos])) {
      const size_t len = CharLength(text, pos);
      for (size_t k = 0; k < len; ++k) put(text[pos + k], pos + k);
      pos += len;
      continue;
    }
    put('[', pos);
    while (pos < text.size() && IsDigit(text[pos])) {
      put(text[pos], pos);
      ++pos;
    }
    // The end mark stands for the run's last digit; the run that ends an
    // open text stays open.
    if (!(openEnd && pos == text.size())) put(']', pos - 1);
  }
}

AddressMatcher::AddressMatcher(IndexCalls& calls, std::vector<FieldPlace> fields,
                               const AddressQuery& query, FieldCrossings crossings)
    : calls_(calls), query_(query), rangesCount_(query.HasOtherWords()) {
  for (FieldPlace& place : fields) {
    Field f;
    f.address = !IsCodeField(place.name);
    f.place = std::move(place);
    fields_.push_back(std::move(f));
  }
  for (const QueryWord& q : query_.words) {
    Word w{&q, WordRoad::kField, {}};
    if (q.number) {
      w.road = WordRoad::kNumber;
    } else if (!HasDigit(q.text) && q.alternatives.empty() && !crossings.MayCross(q.text)) {
      // Within one field wherever it occurs in the record.
      w.road = WordRoad::kRecord;
      recordText_ += (recordText_.empty() ? "" : " ") + q.text;
    } else {
      w.marked = MarkDigitRuns(q.text, q.openEnd, nullptr);
      w.digits = HasDigit(q.text);
      w.wide = HasWideChar(q.text);
    }
    words_.push_back(std::move(w));
  }
}

const std::string& AddressMatcher::Field::Marked() const {
  if (!markedMade) MarkDigitRunsInto(text, false, nullptr, marked);
  markedMade = true;
  return marked;
}

const std::string& AddressMatcher::Field::Plain() const {
  if (!plainMade) plain.assign(text);
  plainMade = true;
  return plain;
}

const std::vector<NumberRange>& AddressMatcher::Field::Ranges() const {
  if (!rangesMade) {
    ranges.clear();
    if (address) ranges = RangesIn(text);
  }
  rangesMade = true;
  return ranges;
}

void AddressMatcher::Load(const char* record, int32_t size) {
  for (Field& f : fields_) {
    f.text = FieldBytes(record, size, f.place);
    f.wide = HasWideChar(f.text);
    f.markedMade = f.plainMade = f.rangesMade = false;
  }
}

size_t AddressMatcher::NumberAt(const Field& f, const Word& w) const {
  const std::string_view text = f.text, number = w.query->text;
  if (number.empty() || text.size() < number.size()) return std::string_view::npos;
  const bool startsWithDigit = IsDigit(number.front()), endsWithDigit = IsDigit(number.back());
  // A digit is never the second byte of a CP949 character, so a number that
  // starts with one and has no letter (compared without case) is found as
  // bytes.
  const bool asBytes = startsWithDigit && std::none_of(number.begin(), number.end(), IsAsciiLetter);
  for (size_t at = 0; at + number.size() <= text.size(); at += asBytes ? 1 : CharLength(text, at)) {
    if (asBytes) {
      at = text.find(number, at);
      if (at == std::string_view::npos) break;
    } else {
      size_t k = 0;
      while (k < number.size() && SameByteNoCase(text[at + k], number[k])) ++k;
      if (k < number.size()) continue;
    }
    // Whole runs: no digit before the first, none after the last (unless the
    // number is still being typed).
    if (startsWithDigit && at > 0 && IsDigit(text[at - 1])) continue;
    const size_t end = at + number.size();
    if (endsWithDigit && !w.query->openEnd && end < text.size() && IsDigit(text[end])) continue;
    // Where ranges decide, a number is held by them, not met in their bounds
    // (a building 12 is not in "지하 12∼30", 15 not in "101∼151"). A single
    // number ("1811", "47-1") is the address's own: met as written, also
    // while it is being typed ("18" of 1811).
    if (rangesCount_ && std::any_of(f.Ranges().begin(), f.Ranges().end(), [&](const auto& r) {
          return r.begin <= at && at < r.end && !r.single;
        }))
      continue;
    return at;
  }
  return std::string_view::npos;
}

bool AddressMatcher::FieldHolds(const Field& f, const Word& w) const {
  if (f.text.empty()) return false;
  switch (w.road) {
    case WordRoad::kNumber:
      if (NumberAt(f, w) != std::string_view::npos) return true;
      break;
    case WordRoad::kField:
      // A double-byte character (Hangul, or an initial consonant that stands
      // for Hangul) meets only double-byte characters. Only blanks are
      // skipped in matching, so a word without digits meets the marked field
      // exactly where it meets the field itself.
      if (w.wide && !f.wide) break;
      if (calls_.Match((w.digits ? f.Marked() : f.Plain()).c_str(), w.marked.c_str()) == 1)
        return true;
      break;
    case WordRoad::kRecord:
      return false;
  }
  // Another form of the word (서울 for 서울특별시, 135-080 for 135080).
  for (const std::string& alternative : w.query->alternatives)
    if (WholeWordAt(f.text, alternative) != std::string_view::npos) return true;
  return false;
}

std::optional<MatchKind> AddressMatcher::WordMatch(const Word& w) const {
  for (const Field& f : fields_)
    if (FieldHolds(f, w)) return MatchKind::kAsWritten;
  if (!w.query->number || !rangesCount_) return std::nullopt;
  for (const Field& f : fields_)
    for (const NumberRange& r : f.Ranges())
      if (Holds(r, *w.query->number)) return MatchKind::kInRange;
  return std::nullopt;
}

std::optional<MatchKind> AddressMatcher::Match(const char* record) {
  Load(record, INT32_MAX);
  return MatchLoaded(record);
}

std::optional<MatchKind> AddressMatcher::MatchLoaded(const char* record) const {
  if (words_.empty()) return std::nullopt;
  if (!recordText_.empty() && calls_.Match(record, recordText_.c_str()) != 1) return std::nullopt;
  MatchKind kind = MatchKind::kAsWritten;
  for (const Word& w : words_) {
    if (w.road == WordRoad::kRecord) continue;
    const auto found = WordMatch(w);
    if (!found) return std::nullopt;
    kind = std::max(kind, *found);
  }
  return kind;
}

bool AddressMatcher::IsPlaceRow(const char* record) {
  if (!Match(record)) return false;
  bool endsWithWord = false;
  for (const Field& f : fields_) {
    if (!f.address) continue;
    if (!f.Ranges().empty() || HasNumber(f.text)) return false;
    for (const Word& w : words_) endsWithWord = endsWithWord || EndsWithWord(f.text, w.query->text);
  }
  return endsWithWord;
}

std::vector<ByteSpan> AddressMatcher::Spans(const char* record, int32_t size) {
  std::vector<ByteSpan> spans;
  if (words_.empty() || !record || size <= 0) return spans;
  // The record as the library reads it: up to size bytes and a zero.
  const std::string whole(record, static_cast<size_t>(size));
  Load(whole.c_str(), size);
  if (!MatchLoaded(whole.c_str())) return spans;
  std::vector<int32_t> pairs(2 * kMaxSpans), origin;
  for (const Field& f : fields_) {
    if (f.text.empty()) continue;
    const int32_t base = f.place.offset;
    for (const Word& w : words_) {
      const std::string pattern = w.road == WordRoad::kField ? w.marked : w.query->text;
      if (w.road != WordRoad::kNumber) {
        // The words as the library finds them in this field.
        const std::string text = w.road == WordRoad::kField ? MarkDigitRuns(f.text, false, &origin)
                                                            : std::string(f.text);
        const int32_t n = calls_.MatchSpans(text.c_str(), static_cast<int32_t>(text.size()),
                                            pattern.c_str(), pairs.data(), kMaxSpans);
        for (int32_t i = 0; i < std::min(n, kMaxSpans); ++i) {
          const auto b = static_cast<size_t>(pairs[2 * static_cast<size_t>(i)]);
          const auto e = static_cast<size_t>(pairs[2 * static_cast<size_t>(i) + 1]);
          if (b >= e || e > text.size()) continue;
          if (w.road == WordRoad::kField)
            spans.emplace_back(base + origin[b], base + origin[e - 1] + 1);
          else
            spans.emplace_back(base + static_cast<int32_t>(b), base + static_cast<int32_t>(e));
        }
        for (const std::string& alternative : w.query->alternatives)
          if (const size_t at = WholeWordAt(f.text, alternative); at != std::string_view::npos)
            spans.emplace_back(base + static_cast<int32_t>(at),
                               base + static_cast<int32_t>(at + alternative.size()));
        continue;
      }
      if (const size_t at = NumberAt(f, w); at != std::string_view::npos) {
        spans.emplace_back(base + static_cast<int32_t>(at),
                           base + static_cast<int32_t>(at + w.query->text.size()));
        continue;
      }
      for (const std::string& alternative : w.query->alternatives)
        if (const size_t at = WholeWordAt(f.text, alternative); at != std::string_view::npos)
          spans.emplace_back(base + static_cast<int32_t>(at),
                             base + static_cast<int32_t>(at + alternative.size()));
      if (rangesCount_)
        for (const NumberRange& r : f.Ranges())
          if (Holds(r, *w.query->number))
            spans.emplace_back(base + static_cast<int32_t>(r.begin),
                               base + static_cast<int32_t>(r.end));
    }
  }
  std::sort(spans.begin(), spans.end());
  std::vector<ByteSpan> merged;
  for (const ByteSpan& s : spans) {
    if (!merged.empty() && s.first <= merged.back().second)
      merged.back().second = std::max(merged.back().second, s.second);
    else
      merged.push_back(s);
  }
  return merged;
}

}  // namespace postal
