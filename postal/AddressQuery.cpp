#include "postal/AddressQuery.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "platform/Cp949Codec.h"
#include "postal/Cp949Chars.h"
#include "postal/ProvinceNames.h"

namespace postal {
namespace {

struct Words {
  std::string underground = platform::Cp949FromUtf8("지하");
  // The endings of a road, a dong, a ri and a ga, after which a number glued
  // on is a word of its own.
  std::vector<std::string> placeEnds = {
      platform::Cp949FromUtf8("로"), platform::Cp949FromUtf8("길"), platform::Cp949FromUtf8("동"),
      platform::Cp949FromUtf8("리"), platform::Cp949FromUtf8("가")};
};

const Words& W() {
  static const std::unique_ptr<Words> words = std::make_unique<Words>();
  return *words;
}

std::vector<std::string_view> SplitAtSpaces(std::string_view text) {
  std::vector<std::string_view> words;
  for (size_t pos = 0; pos < text.size();) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const size_t begin = pos;
    while (pos < text.size() && text[pos] != ' ') ++pos;
    if (pos > begin) words.push_back(text.substr(begin, pos - begin));
  }
  return words;
}

bool EndsWithPlaceEnding(std::string_view word) {
  for (const std::string& end : W().placeEnds)
    if (word.size() > end.size() && word.substr(word.size() - end.size()) == end) return true;
  return false;
}

// "테헤란로152" -> "테헤란로", "152": the first character boundary after a
// place ending where the rest is a number word.
void SplitGluedNumber(std::string_view word, std::vector<std::string>* out) {
  for (size_t pos = 0; pos < word.size();) {
    pos += CharLength(word, pos);
    if (pos >= word.size()) break;
    if (!IsDigit(word[pos]) || !EndsWithPlaceEnding(word.substr(0, pos))) continue;
    if (ParseNumberWord(word.substr(pos))) {
      out->emplace_back(word.substr(0, pos));
      out->emplace_back(word.substr(pos));
      return;
    }
  }
  out->emplace_back(word);
}

// "(역삼동, 강남파이낸스센터)" at the end of the text: its words, and the text
// before it.
std::string_view SplitReference(std::string_view text, std::vector<std::string>* reference) {
  const std::string_view trimmed = TrimBlanks(text);
  if (trimmed.size() < 3 || trimmed.back() != ')') return text;
  const size_t open = trimmed.rfind('(');
  if (open == std::string_view::npos || open == 0) return text;
  std::string inner(trimmed.substr(open + 1, trimmed.size() - open - 2));
  std::replace(inner.begin(), inner.end(), ',', ' ');
  for (std::string_view w : SplitAtSpaces(inner)) reference->emplace_back(w);
  if (reference->empty()) return text;
  return trimmed.substr(0, open);
}

bool IsSixDigitCode(std::string_view word) {
  return word.size() == 6 && std::all_of(word.begin(), word.end(), IsDigit);
}

}  // namespace

bool AddressQuery::HasReference() const {
  return std::any_of(words.begin(), words.end(), [](const QueryWord& w) { return w.reference; });
}

bool AddressQuery::HasNumberWords() const {
  return std::any_of(words.begin(), words.end(),
                     [](const QueryWord& w) { return w.number.has_value(); });
}

bool AddressQuery::HasOtherWords() const {
  return std::any_of(words.begin(), words.end(),
                     [](const QueryWord& w) { return !w.number.has_value(); });
}

AddressQuery AddressQuery::WithoutReference() const {
  AddressQuery q;
  for (const QueryWord& w : words)
    if (!w.reference) q.words.push_back(w);
  return q;
}

AddressQuery AddressQuery::WithoutNumbers() const {
  AddressQuery q;
  for (const QueryWord& w : words)
    if (!w.number) q.words.push_back(w);
  return q;
}

AddressQuery ReadAddressQuery(const SearchText& searchText) {
  const std::string_view text(searchText.data());
  std::vector<std::string> referenceWords;
  const std::string_view main = SplitReference(text, &referenceWords);

  std::vector<std::string> typed;
  for (std::string_view w : SplitAtSpaces(main)) SplitGluedNumber(w, &typed);

  AddressQuery q;
  for (size_t i = 0; i < typed.size(); ++i) {
    QueryWord word;
    word.text = typed[i];
    word.number = ParseNumberWord(typed[i]);
    // 지하 as a word of its own before a number makes it an underground number.
    if (typed[i] == W().underground && i + 1 < typed.size()) {
      if (auto next = ParseNumberWord(typed[i + 1]); next && !next->underground && !next->block) {
        next->underground = true;
        word.text += ' ' + typed[i + 1];
        word.number = next;
        ++i;
      }
    }
    if (!word.number) word.alternatives = OtherProvinceForms(word.text);
    if (IsSixDigitCode(word.text))
      word.alternatives.push_back(word.text.substr(0, 3) + '-' + word.text.substr(3));
    q.words.push_back(std::move(word));
  }
  // Only a text that ends in a digit is still being typed digit by digit.
  if (!q.words.empty() && referenceWords.empty() && !text.empty() && IsDigit(text.back()))
    q.words.back().openEnd = true;
  for (std::string& r : referenceWords) {
    QueryWord word;
    word.text = std::move(r);
    word.reference = true;
    q.words.push_back(std::move(word));
  }
  return q;
}

}  // namespace postal
