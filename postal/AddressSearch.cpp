#include "postal/AddressSearch.h"

#include <algorithm>
#include <string>

#include "libs/ftsindex/ftsindex.h"
#include "platform/Cp949Codec.h"
#include "postal/Cp949Chars.h"

namespace postal {
namespace {

// More texts than this for one pass: the words with other forms are left
// out of what the index is asked (it then names more candidates, never fewer).
constexpr size_t kMaxTexts = 16;
// Candidates taken from the index at a time.
constexpr int32_t kCandidateBatch = 4096;

const std::string& RangeSign() {
  static const std::string sign = platform::Cp949FromUtf8("∼");
  return sign;
}

// The forms a word is asked of the index in: its text and its other forms,
// without a form that holds another (the other's candidates include its own).
std::vector<std::string> IndexForms(const QueryWord& w) {
  std::vector<std::string> forms{w.text};
  forms.insert(forms.end(), w.alternatives.begin(), w.alternatives.end());
  std::vector<std::string> kept;
  for (const std::string& f : forms) {
    const bool holdsAnother = std::any_of(forms.begin(), forms.end(), [&](const std::string& g) {
      return &g != &f && g.size() < f.size() && f.find(g) != std::string::npos;
    });
    if (!holdsAnother && std::find(kept.begin(), kept.end(), f) == kept.end()) kept.push_back(f);
  }
  return kept;
}

// Every text made of one form of each word, with extra appended as a word.
std::vector<std::string> Combinations(const std::vector<const QueryWord*>& words,
                                      const std::string& extra) {
  std::vector<std::vector<std::string>> forms;
  size_t count = 1;
  for (const QueryWord* w : words) {
    forms.push_back(IndexForms(*w));
    count *= forms.back().size();
  }
  if (count > kMaxTexts) {
    for (auto& f : forms)
      if (f.size() > 1) f.clear();  // asked without these words
    count = 1;
  }
  std::vector<std::string> texts{""};
  for (const auto& f : forms) {
    if (f.empty()) continue;
    std::vector<std::string> next;
    for (const std::string& t : texts)
      for (const std::string& form : f) next.push_back(t.empty() ? form : t + ' ' + form);
    texts = std::move(next);
  }
  if (!extra.empty())
    for (std::string& t : texts) t = t.empty() ? extra : t + ' ' + extra;
  return texts;
}

// What the index is asked for a query: texts whose candidates together hold
// every record that may match. A number that a range may hold is not asked:
// the rows with a range are.
std::vector<std::string> IndexTexts(const AddressQuery& q) {
  std::vector<const QueryWord*> all, others;
  for (const QueryWord& w : q.words) {
    all.push_back(&w);
    if (!w.number) others.push_back(&w);
  }
  std::vector<std::string> texts = Combinations(all, "");
  if (q.HasNumberWords() && !others.empty()) {
    for (const std::string& t : Combinations(others, RangeSign())) texts.push_back(t);
    // "12-(3)" and "123-(1∼5)": a sub-number in brackets.
    for (const std::string& t : Combinations(others, "-(")) texts.push_back(t);
  }
  return texts;
}

// The search text of one index text; false when it does not fit.
bool ToSearchText(const std::string& text, SearchText* out) {
  out->fill('\0');
  if (text.size() >= out->size()) return false;
  std::copy(text.begin(), text.end(), out->begin());
  return true;
}

}  // namespace

AddressSearch::AddressSearch(IndexCalls& calls, RecordSource& table, FieldCrossings crossings)
    : calls_(calls), table_(table), crossings_(crossings), fields_(table.Fields()) {}

SearchOutcome AddressSearch::RunPass(const AddressQuery& query, bool placeRows,
                                     const SearchRequest& request, bool* setUp) {
  SearchOutcome outcome;
  AddressMatcher matcher(calls_, fields_, query, crossings_);
  auto setUpOnce = [&] {
    if (!*setUp && request.beforeVisit) request.beforeVisit();
    *setUp = true;
    outcome.visited = true;
  };
  // Visits record n; false when the search is to stop.
  auto visit = [&](int32_t n) {
    table_.Go(n);
    table_.Read(request.record);
    std::optional<MatchKind> kind;
    if (placeRows) {
      if (matcher.IsPlaceRow(request.record)) kind = MatchKind::kPlace;
    } else {
      kind = matcher.Match(request.record);
    }
    if (!kind) return true;
    ++outcome.matches;
    return request.onMatch(AddressMatch{n, *kind, request.record});
  };
  // Without an index that answers, every record is confirmed.
  auto visitEveryRecord = [&] {
    outcome.answer = IndexAnswer::kEveryRecord;
    setUpOnce();
    const int32_t count = table_.RecordCount();
    for (int32_t n = 1; n <= count && visit(n);) ++n;
    return outcome;
  };

  if (calls_.Handle() <= 0) return visitEveryRecord();

  const std::vector<std::string> texts = IndexTexts(query);
  // Taken as the index proves it: one text of words without numbers, other
  // forms or digits, none of which may run from one field into the next.
  const bool plain = texts.size() == 1 && !placeRows &&
                     std::all_of(query.words.begin(), query.words.end(), [&](const QueryWord& w) {
                       return !w.number && !w.reference && !HasDigit(w.text) &&
                              IndexForms(w).size() == 1 && !crossings_.MayCross(w.text);
                     });
  bool anyData = false, anyFailed = false, anyCandidates = false;
  std::vector<int32_t> candidates;
  SearchText text;
  for (const std::string& t : texts) {
    if (!ToSearchText(t, &text)) {
      anyFailed = true;
      continue;
    }
    const int32_t r = calls_.Set(text.data());
    if (r == FTS_ERR_NO_KEY) continue;
    anyData = true;
    if (r == 0) continue;
    if (r < 0) {
      anyFailed = true;
      continue;
    }
    anyCandidates = true;
    if (texts.size() == 1) break;  // visited as the index names them
    int32_t batch[kCandidateBatch];
    for (int32_t got; (got = calls_.NextRecs(batch, kCandidateBatch)) > 0;)
      candidates.insert(candidates.end(), batch, batch + got);
  }
  if (anyFailed) {
    // The index cannot name the candidates.
    outcome.indexFailed = true;
    return visitEveryRecord();
  }
  if (!anyCandidates) {
    outcome.answer = anyData ? IndexAnswer::kNoData : IndexAnswer::kNoKey;
    return outcome;
  }
  outcome.answer = IndexAnswer::kCandidates;
  setUpOnce();
  if (texts.size() == 1) {
    if (plain && calls_.Proven() == 1) {
      if (request.onProvenMatches && !request.readEveryMatch) {
        int32_t batch[kCandidateBatch];
        for (int32_t got; (got = calls_.NextRecs(batch, kCandidateBatch)) > 0;) {
          outcome.matches += got;
          if (!request.onProvenMatches(batch, static_cast<size_t>(got))) break;
        }
        return outcome;
      }
      for (int32_t n; (n = calls_.NextRec()) > 0;) {
        AddressMatch match{n, MatchKind::kAsWritten, nullptr};
        if (request.readEveryMatch) {
          table_.Go(n);
          table_.Read(request.record);
          match.record = request.record;
        }
        ++outcome.matches;
        if (!request.onMatch(match)) break;
      }
      return outcome;
    }
    for (int32_t n; (n = calls_.NextRec()) > 0;)
      if (!visit(n)) break;
    return outcome;
  }
  std::sort(candidates.begin(), candidates.end());
  candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
  for (const int32_t n : candidates)
    if (!visit(n)) break;
  return outcome;
}

SearchOutcome AddressSearch::Run(const SearchRequest& request) {
  const AddressQuery query = ReadAddressQuery(*request.text);
  bool setUp = false;
  if (query.words.empty()) return SearchOutcome{IndexAnswer::kNoKey, 0, false};
  SearchOutcome first = RunPass(query, false, request, &setUp);
  if (first.matches > 0 || first.indexFailed) return first;
  SearchOutcome last = first;
  // The reference in brackets is left out when no row matches it too.
  AddressQuery rest = query;
  if (query.HasReference()) {
    rest = query.WithoutReference();
    if (!rest.words.empty()) last = RunPass(rest, false, request, &setUp);
  }
  // A number that no row holds: the place's own row.
  if (last.matches == 0 && rest.HasNumberWords() && rest.HasOtherWords())
    last = RunPass(rest.WithoutNumbers(), true, request, &setUp);
  if (last.matches > 0 || setUp) {
    last.visited = setUp;
    if (!last.visited) last.answer = first.answer;
    return last;
  }
  return first;
}

std::vector<ByteSpan> MatchedSpans(IndexCalls& calls, const std::vector<FieldPlace>& fields,
                                   const char* record, int32_t size, const SearchText& text) {
  AddressQuery query = ReadAddressQuery(text);
  std::vector<ByteSpan> spans = AddressMatcher(calls, fields, query).Spans(record, size);
  if (!spans.empty()) return spans;
  // The search may have found the row without its reference, or as the
  // place's own row.
  if (query.HasReference()) {
    query = query.WithoutReference();
    spans = AddressMatcher(calls, fields, query).Spans(record, size);
    if (!spans.empty()) return spans;
  }
  if (query.HasNumberWords() && query.HasOtherWords())
    spans = AddressMatcher(calls, fields, query.WithoutNumbers()).Spans(record, size);
  return spans;
}

}  // namespace postal
